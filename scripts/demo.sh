#!/usr/bin/env bash
# Installs what is missing, builds the tool and runs the demo on the sample
# station's DMIS program.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh build -DCMAKE_BUILD_TYPE=Release
build/bin/vantreel demo examples/sample-station/plate.dmi
