#!/usr/bin/env bash
# Conversion throughput and peak memory on generated DMIS programs, one table:
#   scripts/bench.sh [LINES...]        (default: 100000 1000000)
# Every figure comes from a process of its own (no warm second run): the CLI
# verbs `dmis check`, `dmis list` and `dmis bas`, the scanner alone (its tokens
# read and given back behind the cursor as the parser does, and once more with
# every token of the file kept, as `dmis tokens` keeps them), and a plain
# loop that splits the same file into lines and words (the anchor: what reading
# every byte once costs on this machine). Throughput is file size / processor
# time (user + system) in MB/s (10^6 bytes): the work is single-threaded, so on
# a quiet machine that is the wall time, and on a shared one it is the figure
# that does not depend on the neighbours. The CLI figures include the
# program's start. Peak is ru_maxrss / file size. Each measurement runs RUNS
# times (default 3) and the fastest run is shown, with its own peak.
# BUILD names the build tree (default build-bench, configured here when absent).
# DIALECT=extended measures the CLI verbs with --dialect extended (default strict).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD:-build-bench}
runs=${RUNS:-3}
dialect=(--dialect "${DIALECT:-strict}")
sizes=("$@")
[[ ${#sizes[@]} -eq 0 ]] && sizes=(100000 1000000)
if [[ ! -x $build/bin/vantreel || ! -x $build/bin/vantreel_dmis_bench ]]; then
    bash scripts/build.sh "$build" -DCMAKE_BUILD_TYPE=Release -DVANTREEL_BUILD_BENCH=ON \
        -DVANTREEL_BUILD_TESTS=OFF
fi
cli=$build/bin/vantreel
tool=$build/bin/vantreel_dmis_bench
work=$(mktemp -d /tmp/vantreel-bench-XXXXXX)
trap 'rm -rf "$work"' EXIT

# Prints "SECONDS PEAK_KB" for one run of a command (its output discarded),
# the processor time to the microsecond.
measure_cli() {
    "$tool" run "$@" 2>"$work/err" || {
        cat "$work/err" >&2
        return 1
    }
}

measure_tool() {
    "$tool" "$@" | awk '{ print $1, $2 }'
}

# The fastest of RUNS runs: "SECONDS PEAK_KB".
best() {
    local i line best_line=""
    for ((i = 0; i < runs; i++)); do
        line=$("$@")
        if [[ -z $best_line ]] || awk -v a="${line%% *}" -v b="${best_line%% *}" \
            'BEGIN { exit !(a < b) }'; then
            best_line=$line
        fi
    done
    echo "$best_line"
}

printf '| lines | file MB | check MB/s | list MB/s | bas MB/s | scanner MB/s | scanner, all kept MB/s |'
printf ' anchor MB/s | peak/file check | peak/file list | peak/file bas |\n'
printf '|---|---|---|---|---|---|---|---|---|---|---|\n'
for lines in "${sizes[@]}"; do
    file=$work/generated_$lines.dmi
    "$tool" generate "$lines" "$file"
    cat "$file" >/dev/null # in the page cache for every run alike
    bytes=$(stat -c %s "$file")
    check=$(best measure_cli "$cli" dmis check "${dialect[@]}" "$file")
    list=$(best measure_cli "$cli" dmis list "${dialect[@]}" "$file")
    mkdir -p "$work/out"
    bas=$(best measure_cli "$cli" dmis bas "${dialect[@]}" "$file" --out "$work/out")
    scan=$(best measure_tool scan "$file")
    scanAll=$(best measure_tool scan-all "$file")
    anchor=$(best measure_tool anchor "$file")
    awk -v lines="$lines" -v bytes="$bytes" -v check="$check" -v list="$list" -v bas="$bas" \
        -v scan="$scan" -v scanAll="$scanAll" -v anchor="$anchor" '
        function rate(m,   p) { split(m, p, " "); return sprintf("%.1f", bytes / 1e6 / p[1]) }
        function peak(m,   p) { split(m, p, " "); return sprintf("%.1fx", p[2] * 1024 / bytes) }
        BEGIN {
            printf "| %d | %.1f | %s | %s | %s | %s | %s | %s | %s | %s | %s |\n", lines,
                bytes / 1e6, rate(check), rate(list), rate(bas), rate(scan), rate(scanAll),
                rate(anchor), peak(check), peak(list), peak(bas)
        }'
    rm -f "$file"
    rm -rf "$work/out"
done
