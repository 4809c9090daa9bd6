#!/usr/bin/env bash
# Installs what is missing, builds the tool and runs the demo on the sample
# station: its registry imported from a .reg file, its configuration and
# messages, and its part program scanned, parsed, listed, converted to
# Basic and saved as a model stream.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh build -DCMAKE_BUILD_TYPE=Release
tool=build/bin/vantreel
station=examples/sample-station

# The station's registry lives in a database of the demo's own.
VANTREEL_REGISTRY="$(mktemp -d)/registry.db"
export VANTREEL_REGISTRY
trap 'rm -rf "$(dirname "$VANTREEL_REGISTRY")"' EXIT

echo "== Importing the sample station's registry ($station/station.reg) =="
"$tool" reg import "$station/station.reg"
"$tool" reg query 'HKLM\SOFTWARE\Korvessa' /s
echo
echo "== Configuration =="
echo "Repository root (StartupApp, user anna): $("$tool" config repository-root)"
echo "Repository root for Sobrel:               $("$tool" config repository-root Sobrel)"
echo "Install directory:                        $("$tool" config install-directory)"
echo
echo "== Messages in the station's language (German) and in English =="
"$tool" strings 110001
"$tool" strings 110001 --lang 1033
"$tool" strings check
echo
"$tool" demo "$station/plate.dmi"

work=$(dirname "$VANTREEL_REGISTRY")
echo
echo "== The part program converted to Basic ($station/plate.dmi) =="
(cd "$work" && "$OLDPWD/$tool" dmis bas "$OLDPWD/$station/plate.dmi" --out "$work")
echo "-- ModMain.bas --"
tr -d '\r' <"$work/ModMain.bas"
echo "-- ModSupport.bas --"
tr -d '\r' <"$work/ModSupport.bas"
echo
echo "== Saved as a model stream and loaded again =="
"$tool" dmis save "$station/plate.dmi" "$work/plate.model"
echo "$(wc -c <"$work/plate.model") bytes; the loaded model lists as:"
"$tool" dmis load "$work/plate.model" | head -n 12
echo "    ..."
