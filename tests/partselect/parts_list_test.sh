#!/usr/bin/env bash
# `vantreel parts list` on a repository made here: the dialog's order and
# filters in the terminal, and clear errors for folders that cannot be listed.
set -u
tool=$1
work=$(mktemp -d)
trap 'chmod -R u+rwx "$work"; rm -rf "$work"' EXIT
source "$(dirname "$0")/../cli/check.sh"
export VANTREEL_REGISTRY=$work/registry.db
root=$work/parts

part() {  # part DIRECTORY [PROJECT]
    mkdir -p "$root/$1"
    printf 'Type=Exe\r\n' >"$root/$1/${2:-$(basename "$1")}.vbp"
}
mkdir -p "$root/Fixtures/Clamps" "$root/Alpha"
part BRACKET
part COVER
part Fixtures/CLAMP_1
printf 'Sub Main()\r\n' >"$root/COVER/ModMain.bas"
printf '\r\n' >"$root/COVER/ModSupport.bas"
printf '[Part]\r\nLorimet=true\r\n' >"$root/BRACKET/partinfo.ini"
printf 'ENDFIL\n' >"$root/OLD.DMS"
printf 'ENDFIL\n' >"$root/probe.dmi"
printf 'x\n' >"$root/notes.txt"
"$tool" reg add 'HKLM\SOFTWARE\Korvessa\Common' /v RepositoryRoot /d "$root" /f >/dev/null
"$tool" reg add 'HKLM\SOFTWARE\Korvessa\Users' /f >/dev/null

T=$'\t'
"$tool" parts list >"$work/out" 2>"$work/err"
check "parts list exits 0" test $? -eq 0
printf '%s\n' "F${T}Alpha${T}$root/Alpha" "F${T}Fixtures${T}$root/Fixtures" \
    "P${T}BRACKET${T}$root/BRACKET" "P${T}COVER${T}$root/COVER" \
    "D${T}OLD.DMS${T}$root/OLD.DMS" "D${T}probe.dmi${T}$root/probe.dmi" >"$work/expected"
check "folders, parts, legacy files in order" diff "$work/expected" "$work/out"
check "nothing on standard error" test ! -s "$work/err"

"$tool" parts list --require-source >"$work/out"
check "--require-source keeps only parts with source" \
    test "$(grep -c '^P' "$work/out")-$(grep '^P' "$work/out" | cut -f2)" = "1-COVER"
"$tool" parts list --suppress-lorimet >"$work/out"
check "--suppress-lorimet hides the Lorimet part" test "$(grep '^P' "$work/out" | cut -f2)" = "COVER"
"$tool" parts list --require-executable >"$work/out"
check "--require-executable hides parts not built" test "$(grep -c '^P' "$work/out")" -eq 0
"$tool" parts list --directories >"$work/out"
check "--directories lists no parts but legacy files" \
    test "$(cut -c1 "$work/out" | tr -d '\n')" = "FFDD"
"$tool" parts list Fixtures --details >"$work/out"
check "a sub-folder, with dates" \
    grep -qE "^P${T}CLAMP_1${T}$root/Fixtures/CLAMP_1${T}[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}\$" \
    "$work/out"
check "folders have no date" grep -qx "F${T}Clamps${T}$root/Fixtures/Clamps" "$work/out"

"$tool" parts list Nowhere >"$work/out" 2>"$work/err"
check "a missing folder exits 1" test $? -eq 1
check "and says which" grep -q "Nowhere" "$work/err"
check "and prints no entry" test ! -s "$work/out"

chmod 000 "$root/Fixtures"
if [ "$(id -u)" -ne 0 ]; then
    "$tool" parts list Fixtures >"$work/out" 2>"$work/err"
    check "an unreadable folder exits 1" test $? -eq 1
    check "with the reason" grep -q "cannot be read" "$work/err"
fi
chmod 755 "$root/Fixtures"

for outside in .. ../.. Fixtures/../..; do
    "$tool" parts list "$outside" >"$work/out" 2>"$work/err"
    check "'$outside' is refused with exit 2" test $? -eq 2
    check "'$outside' says why" grep -q "not inside the part repository" "$work/err"
    check "'$outside' lists nothing" test ! -s "$work/out"
done
"$tool" parts list ./Fixtures/. >"$work/out"
check "'./Fixtures/.' is the sub-folder" grep -qx "F${T}Clamps${T}$root/Fixtures/Clamps" "$work/out"

"$tool" parts list --bogus >"$work/out" 2>"$work/err"
check "an unknown switch exits 2" test $? -eq 2
check "with the usage" grep -q "usage: vantreel parts list" "$work/err"
"$tool" parts list A B >/dev/null 2>&1
check "two folders exit 2" test $? -eq 2

"$tool" reg add 'HKLM\SOFTWARE\Korvessa\Common' /v RepositoryRoot /d "$work/none" /f >/dev/null
"$tool" parts list >"$work/out" 2>"$work/err"
check "a missing repository root exits 1" test $? -eq 1
check "and names it" grep -q "$work/none" "$work/err"

echo "parts list: $failures failed"
exit $((failures > 0))
