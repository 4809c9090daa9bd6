#!/usr/bin/env bash
# `vantreel parts info` on a sample station: the settings as the dialog shows
# them, changes through the dialog's rules, and refusals that change nothing.
set -u
tool=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
source "$(dirname "$0")/check.sh"
export CUPS_SERVER=$work/no-cupsd.sock  # a station without printers

"$tool" demo-station "$work/station" >/dev/null 2>&1
export VANTREEL_REGISTRY=$work/station/registry.db
part=$work/station/repository/Plates/PLATE_4711
info=$part/partinfo.ini
root='HKLM\SOFTWARE\Korvessa'

"$tool" parts info Plates/PLATE_4711 >"$work/out" 2>"$work/err"
check "parts info exits 0" test $? -eq 0
check "the name is shown" grep -qP '^Part\.Name\tPLATE_4711$' "$work/out"
check "defaults are applied" grep -qP '^Report\.CSVMaxRecord\t4096$' "$work/out"
check "one line per setting" test "$(wc -l <"$work/out")" -eq 17
check "the last line is the skip file" test "$(tail -n 1 "$work/out")" = "$(printf 'Skip.SkipFile\t')"

"$tool" parts info "$part" --set Part.SerialNumber=SN-9 --set Report.PrintMode=1 \
    --set report.reportstatus=1 >"$work/out" 2>"$work/err"
check "--set exits 0" test $? -eq 0
check "the new value is shown" grep -qP '^Part\.SerialNumber\tSN-9$' "$work/out"
check "the new value is saved" grep -q '^SerialNumber=SN-9' "$info"
check "other keys are kept" grep -q '^Description=Sample part PLATE_4711' "$info"

cp "$info" "$work/before.ini"
"$tool" parts info Plates/PLATE_4711 --set Report.CSVStatus=1 --set Report.CSVFile=out.csv \
    >"$work/out" 2>"$work/err"
check "a CSV file without a folder is refused" test $? -eq 1
check "with the dialog's message" grep -q 'The folder "" does not exist.' "$work/err"
check "and the file is unchanged" cmp -s "$info" "$work/before.ini"
"$tool" parts info Plates/PLATE_4711 --set Report.PrintMode=7 >/dev/null 2>"$work/err"
check "a value out of range is refused" grep -q '"7" is not a valid value for Report.PrintMode' "$work/err"
"$tool" parts info Plates/PLATE_4711 --set Part.Colour=red >/dev/null 2>"$work/err"
check "an unknown setting is refused" grep -q 'is not a setting' "$work/err"
check "still unchanged" cmp -s "$info" "$work/before.ini"

"$tool" reg add "$root\\Machines\\Bridge1\\DatabaseLabels" /v DBLabel0 /d Operator /f >/dev/null
"$tool" reg add "$root\\Users\\anna\\DatabaseRelations" /v Operator /d anna /f >/dev/null
"$tool" parts info Plates/PLATE_4711 --user 'Users\anna' --machine 'Machines\Bridge1' \
    >"$work/out" 2>"$work/err"
check "labels with their defaults" grep -qP '^Report\.Operator\tanna$' "$work/out"
"$tool" parts info Plates/PLATE_4711 --user 'Users\anna' --machine 'Machines\Bridge1' \
    --set Report.Operator=bob >/dev/null 2>"$work/err"
check "a label value is saved" grep -q '^Operator=bob' "$info"

"$tool" parts info Plates/PLATE_4711 --set Part.WriteProtect=true >/dev/null 2>"$work/err"
check "only administrators protect a part" grep -q 'Only administrators' "$work/err"
"$tool" reg add "$root\\Users\\anna" /v Administrator /d true /f >/dev/null
"$tool" parts info Plates/PLATE_4711 --set Part.WriteProtect=true >/dev/null 2>"$work/err"
check "an administrator protects it" grep -q '^WriteProtect=true' "$info"
cp "$info" "$work/before.ini"
"$tool" parts info Plates/PLATE_4711 --set Part.LibraryName=X >/dev/null 2>"$work/err"
check "a protected part refuses changes" grep -q 'write-protected' "$work/err"
check "and stays unchanged" cmp -s "$info" "$work/before.ini"

"$tool" parts info Plates/NOTHING >/dev/null 2>"$work/err"
check "a missing part is reported" grep -q 'holds no part' "$work/err"
"$tool" parts info >/dev/null 2>"$work/err"
check "usage without a part" grep -q 'usage: vantreel parts info' "$work/err"

"$tool" reg query 'HKCR\CLSID\{5A3C1E00-7A11-4E0D-9C4B-2F1D00000001}\InprocServer32' >"$work/out"
addon=$(sed -n 's/.*REG_SZ *//p' "$work/out")
check "demo-station registers the example add-on" test -f "$addon"

exit $((failures > 0))
