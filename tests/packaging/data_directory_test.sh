#!/usr/bin/env bash
# The tool finds its string tables beside itself once installed, however it is
# started, and the build tree's resources before that; $VANTREEL_DATA_DIR wins.
# data_directory_test.sh TOOL SOURCE_RESOURCES
set -u
tool=$1
resources=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
source "$(dirname "$0")/../cli/check.sh"
unset VANTREEL_DATA_DIR

mkdir -p "$work/prefix/bin" "$work/prefix/share/vantreel" "$work/bare/bin" "$work/elsewhere"
cp "$tool" "$work/prefix/bin/vantreel"
cp "$tool" "$work/bare/bin/vantreel"
# The installed table is marked, so a text read from it can be told apart.
sed 's/^\( *110004 *\)"OK"/\1"OK (installed)"/' "$resources/ENU110000.rc" \
    >"$work/prefix/share/vantreel/ENU110000.rc"
ln -s "$work/prefix/bin/vantreel" "$work/elsewhere/vt"

# How the tool is started | what it must report.
while IFS='|' read -r how expected; do
    output=$(cd "$work" && eval "$how config data-directory" 2>&1)
    check "$how -> $expected" test "$output" = "$(eval echo "$expected")"
done <<'CASES'
"$work/prefix/bin/vantreel"|$work/prefix/share/vantreel
prefix/bin/vantreel|$work/prefix/share/vantreel
PATH="$work/prefix/bin:$PATH" vantreel|$work/prefix/share/vantreel
"$work/elsewhere/vt"|$work/prefix/share/vantreel
"$work/bare/bin/vantreel"|$resources
VANTREEL_DATA_DIR=/srv/tables "$work/prefix/bin/vantreel"|/srv/tables
CASES

# A share/vantreel without the English tables is not taken for an installation.
mkdir -p "$work/half/bin" "$work/half/share/vantreel"
cp "$tool" "$work/half/bin/vantreel"
check "an empty share/vantreel is passed over" \
    test "$("$work/half/bin/vantreel" config data-directory)" = "$resources"
check "the installed copy reads its tables" \
    test "$("$work/prefix/bin/vantreel" strings 110004 --lang 1033)" = "OK (installed)"

echo "packaging: $failures failed"
exit $((failures > 0))
