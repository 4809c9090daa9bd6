#!/usr/bin/env bash
# `vantreel demo-host`: every public method whose header this build has can
# be called from the window; without a display it says how to get one and
# touches nothing; offscreen it makes the sample station, opens a dialog and
# saves a screenshot. demo_host_test.sh TOOL INCLUDE_DIR
set -u
tool=$1
include=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
source "$(dirname "$0")/check.sh"

"$tool" demo-host --list >"$work/list" 2>&1
check "--list exits 0" test $? -eq 0
for method in PartOpen PartSaveAs PartDirectory BuildExportList ShowInformation Login \
    SelectMachine Export Import ImportLegacy; do
    check "--list names $method" grep -q "\.$method	" "$work/list"
done
# A class whose header is here must be callable: a method the demo host calls
# with other arguments than the class takes shows up as unavailable.
while IFS=$'\t' read -r name state; do
    class=${name%%.*}
    if [[ -f $include/vantreel/$class.h ]]; then
        check "$name is available ($class.h is built)" test "$state" = available
    else
        check "$name waits for $class.h" grep -q "not part of this build" <<<"$state"
    fi
done <"$work/list"

env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$tool" demo-host "$work/none" \
    >"$work/out" 2>"$work/err"
check "without a display it exits non-zero" test $? -ne 0
check "and says how to get one" grep -q "xvfb-run" "$work/err"
check "and makes no station" test ! -e "$work/none"

export QT_QPA_PLATFORM=offscreen
"$tool" demo-host "$work/station" --open MessageBox --screenshot "$work/box.png" \
    >"$work/out" 2>"$work/err"
check "offscreen with a dialog exits 0" test $? -eq 0
check "it made the sample station" test -s "$work/station/registry.db"
check "the library's message box opened" grep -q "^dialog: frmMessageBox" "$work/out"
check "the screenshot is a PNG" bash -c "head -c 8 '$work/box.png' | od -An -c | grep -q 'P   N   G'"

(cd "$work" && "$tool" demo-host station --screenshot window.png >"$work/out" 2>"$work/err")
check "a second run exits 0" test $? -eq 0
check "and reuses the station" grep -q "^Using the sample station in $work/station" "$work/out"
check "the window's screenshot is written where it was asked" test -s "$work/window.png"

"$tool" demo-host "$work/station" --open Bogus >"$work/out" 2>"$work/err"
check "an unknown method exits 2" test $? -eq 2
check "and names it" grep -q "no method 'Bogus'" "$work/err"

echo "cli: $failures failed"
exit $((failures > 0))
