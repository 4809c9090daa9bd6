#!/usr/bin/env bash
# Installs what is missing, builds everything (library, tool, tests,
# benchmarks), checks the formatting, runs all tests, then installs into a
# temporary prefix and builds and runs the host example against it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/check-format.sh
bash scripts/build.sh build -DCMAKE_BUILD_TYPE=Release
ctest --test-dir build --output-on-failure -j "$(nproc)"
# The installed package as a host developer uses it.
bash scripts/host-example.sh build
