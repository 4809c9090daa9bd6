#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for SECONDS:
# scripts/fuzz.sh SECONDS [CORPUS_DIR]. The DMIS fuzzer starts from the
# project's DMIS test files, the extended-dialect fuzzer from its own seeds
# (tests/fuzz/dialect-seeds), the stream fuzzer from saved models; findings are
# written to build-fuzz/findings/ and the run fails when there are any.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
corpus=$(realpath -m "${2:-build-fuzz/corpus}")
if ! command -v clang++ >/dev/null || ! dpkg-query -W -f='${Status}' libclang-rt-14-dev 2>/dev/null |
    grep -q "install ok installed"; then
    sudo_cmd=()
    [[ $(id -u) -ne 0 ]] && sudo_cmd=(sudo)
    export DEBIAN_FRONTEND=noninteractive
    "${sudo_cmd[@]}" apt-get update -q
    "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends clang libclang-rt-14-dev
fi
CXX=clang++ bash scripts/build.sh build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTREEL_FUZZ=ON \
    -DVANTREEL_BUILD_TESTS=OFF -DVANTREEL_BUILD_BENCH=OFF
mkdir -p "$corpus/dmis" "$corpus/dialect" "$corpus/stream" build-fuzz/findings
build-fuzz/bin/dmis_fuzzer -max_total_time="$seconds" -timeout=10 -rss_limit_mb=4096 \
    -max_len=65536 -dict=tests/fuzz/dmis.dict -artifact_prefix=build-fuzz/findings/ \
    -print_final_stats=1 "$corpus/dmis" tests/data/dmis tests/data/dmis/parse tests/fuzz/findings
build-fuzz/bin/dialect_fuzzer -max_total_time="$seconds" -timeout=10 -rss_limit_mb=4096 \
    -max_len=65536 -dict=tests/fuzz/dmis.dict -artifact_prefix=build-fuzz/findings/ \
    -print_final_stats=1 "$corpus/dialect" tests/fuzz/dialect-seeds tests/data/dmis/dialect
# The stream fuzzer converts to Basic, whose scratch file goes to the current directory.
root=$PWD
(cd build-fuzz && bin/stream_fuzzer -max_total_time="$seconds" -timeout=10 -rss_limit_mb=4096 \
    -max_len=65536 -artifact_prefix=findings/ -print_final_stats=1 \
    "$corpus/stream" "$root/tests/fuzz/stream-seeds")
