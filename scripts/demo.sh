#!/usr/bin/env bash
# Installs what is missing, builds the tool and runs the demo: a complete
# sample station is created (in DIR, or in a temporary directory), its
# configuration and messages are shown, its part program is scanned, parsed
# and listed, and its legacy DMIS file is converted into a built part.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh build -DCMAKE_BUILD_TYPE=Release
tool=$PWD/build/bin/vantreel

if [[ $# -ge 1 ]]; then
    station=$(realpath -m "$1")
else
    station=$(mktemp -d)/station
fi
"$tool" demo-station "$station"
export VANTREEL_REGISTRY=$station/registry.db

echo
echo "== The station's registry =="
"$tool" reg query 'HKLM\SOFTWARE\Korvessa' /s
echo "== Configuration =="
echo "Repository root (StartupApp Tellurim, user anna): $("$tool" config repository-root)"
echo "Install directory:                                $("$tool" config install-directory)"
echo
echo "== Messages in English and German =="
"$tool" strings 110001
"$tool" strings 110001 --lang 1031
"$tool" strings check
echo
"$tool" demo examples/sample-station/plate.dmi
echo
echo "== Converting the station's legacy file into a part =="
legacy=$station/repository/BRACKET.DMS
part=$(cd "$station" && "$tool" convert "$legacy")
echo "New part: $part"
ls -l "$part"
echo "-- build log --"
cat "$part"/*.log
echo "-- ModMain.bas --"
tr -d '\r' <"$part/ModMain.bas"
echo
echo "== A file that is no DMIS program is refused and leaves nothing behind =="
printf 'UNITS/MM\n' >"$station/broken.dmi"
(cd "$station" && "$tool" convert "$station/broken.dmi") || echo "(refused, exit $?)"
ls "$station/repository"
echo
echo "== The sample program saved as a model stream and loaded again =="
"$tool" dmis save examples/sample-station/plate.dmi "$station/plate.model"
echo "$(wc -c <"$station/plate.model") bytes; the loaded model lists as:"
"$tool" dmis load "$station/plate.model" | head -n 8
echo "    ..."
echo
echo "== The dialogs built so far, rendered offscreen =="
QT_QPA_PLATFORM=offscreen "$tool" screenshots "$station/screenshots"
echo
echo "The station stays in $station"
echo "On a desktop, every public method's dialog opens from one window:"
echo "  $tool demo-host $station      (without a display: xvfb-run -a ...)"
