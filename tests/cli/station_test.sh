#!/usr/bin/env bash
# A sample station made by `vantreel demo-station`, and `vantreel convert`
# run on it as an operator's host would: a good legacy file becomes a built
# part, a wrong one is refused and leaves nothing behind.
set -u
tool=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
source "$(dirname "$0")/check.sh"

"$tool" demo-station "$work/station" >"$work/out" 2>"$work/err"
check "demo-station exits 0" test $? -eq 0
check "the station has a registry" test -s "$work/station/registry.db"
check "the station has a legacy file" test -s "$work/station/repository/BRACKET.DMS"
check "the station has parts" test -f "$work/station/repository/Plates/PLATE_4711/PLATE_4711.vbp"
export VANTREEL_REGISTRY=$work/station/registry.db

cd "$work/station" || exit 1
"$tool" convert "$work/station/repository/BRACKET.DMS" >"$work/out" 2>"$work/err"
check "convert exits 0" test $? -eq 0
check "convert prints the new part" grep -qx "$work/station/repository/BRACKET" "$work/out"
check "the part has its modules" test -s "$work/station/repository/BRACKET/ModMain.bas"
check "the part was built" test -x "$work/station/repository/BRACKET/BRACKET.exe"
check "nothing on standard error" test ! -s "$work/err"
check "no scratch file is left" test -z "$(ls "$work/station" | grep ScrFile_)"

"$tool" convert "$work/station/repository/BRACKET.DMS" --name PLATE_4711 >"$work/out" 2>"$work/err"
check "a taken name gets a number" grep -qx "$work/station/repository/PLATE_4711" "$work/out"

printf 'UNITS/MM\n' >"$work/broken.dmi"
before=$(ls "$work/station/repository" | wc -l)
"$tool" convert "$work/broken.dmi" >"$work/out" 2>"$work/err"
check "a wrong file exits 1" test $? -eq 1
check "its message names the error" grep -q "Error parsing: .*ENDFIL" "$work/err"
check "it leaves nothing behind" test "$(ls "$work/station/repository" | wc -l)" -eq "$before"

echo "cli: $failures failed"
exit $((failures > 0))
