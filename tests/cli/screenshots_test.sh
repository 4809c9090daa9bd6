#!/usr/bin/env bash
# `vantreel screenshots DIR` renders every dialog offscreen: one PNG per
# printed path, and a directory it cannot make is a clear error.
set -u
tool=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
source "$(dirname "$0")/check.sh"

"$tool" screenshots "$work/shots" >"$work/out" 2>"$work/err"
check "screenshots exits 0" test $? -eq 0
check "message boxes and keyboards were rendered" \
    test "$(grep -c -E '/(msgbox|keyboard)-[a-z-]+\.png$' "$work/out")" -ge 8
while read -r path; do
    check "$path is a PNG" bash -c "head -c 8 '$path' | od -An -c | grep -q 'P   N   G'"
done <"$work/out"

touch "$work/file"
"$tool" screenshots "$work/file/shots" >"$work/out" 2>"$work/err"
check "a directory that cannot be made fails" test $? -ne 0
check "and says why" grep -q "ERROR: $work/file/shots" "$work/err"

echo "cli: $failures failed"
exit $((failures > 0))
