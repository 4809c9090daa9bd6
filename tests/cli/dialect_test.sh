#!/usr/bin/env bash
# The extended DMIS dialect from the command line: `dmis check` verdicts and
# warning lists, --dialect on the other verbs, and `convert` on a station
# (by option and by the registry value Common\DmisDialect).
set -u
tool=$1
data=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
source "$(dirname "$0")/check.sh"
habits=$data/dialect/station_habits.dmi

"$tool" dmis check "$habits" >"$work/out" 2>"$work/err"
check "strict refuses the station's habits (exit 1)" test $? -eq 1
check "strict names the first refusal" grep -q "Label is already defined (line 6)" "$work/out"

"$tool" dmis check --dialect extended "$habits" "$data/parse/plate_program.dmi" >"$work/out"
check "extended accepts them (exit 0)" test $? -eq 0
check "a file with warnings says how many" grep -qx "$habits	OK, 19 warnings" "$work/out"
check "a valid file is plain OK" grep -qx "$data/parse/plate_program.dmi	OK" "$work/out"

"$tool" dmis check --dialect extended --warnings "$habits" >"$work/out"
check "--warnings lists LINE, ID and text" \
    grep -qx "15	167200	The word PAUSE stands without parameters; it is converted as a statement without parameters." "$work/out"
check "--warnings lists every warning" test "$(grep -c "	1672" "$work/out")" -eq 19

"$tool" dmis check --dialect lenient "$habits" >"$work/out" 2>"$work/err"
check "an unknown dialect is a usage error (exit 2)" test $? -eq 2
check "the usage error names the values" grep -q "strict or extended" "$work/err"

"$tool" dmis bas --dialect extended "$habits" --out "$work/bas" >"$work/out" 2>"$work/err"
check "bas converts by the extended dialect" test $? -eq 0
check "bas lists the warnings on standard error" grep -q "^35	167203	" "$work/err"
check "the module keeps the label's letter in Windows-1252" grep -q $'DmsF("TROU_D\xe9CAL\xe9")' "$work/bas/ModMain.bas"
check "a variable assigned without DECL is declared" grep -q "^Dim K As VARIANT" "$work/bas/ModMain.bas"

"$tool" dmis bas "$habits" --out "$work/strict" >"$work/out" 2>"$work/err"
check "strict bas writes nothing for a refused file" test ! -e "$work/strict/ModMain.bas"

for verb in tokens list demo; do
    if [[ $verb == demo ]]; then
        "$tool" demo --dialect extended "$habits" >"$work/out" 2>"$work/err"
    else
        "$tool" dmis "$verb" --dialect extended "$habits" >"$work/out" 2>"$work/err"
    fi
    check "$verb takes --dialect extended" test $? -eq 0
done

"$tool" demo-station "$work/station" >/dev/null 2>&1
export VANTREEL_REGISTRY=$work/station/registry.db
cp "$habits" "$work/station/habits.dmi"
cd "$work/station" || exit 1
"$tool" convert "$work/station/habits.dmi" >"$work/out" 2>"$work/err"
check "convert refuses by the strict rules when the registry says nothing" test $? -eq 1
"$tool" reg add 'HKLM\SOFTWARE\Korvessa\Common' /v DmisDialect /d Extended /f >/dev/null
"$tool" convert "$work/station/habits.dmi" >"$work/out" 2>"$work/err"
check "convert takes Common\\DmisDialect (exit 0)" test $? -eq 0
check "convert lists the warnings" grep -q "^16	167209	" "$work/err"
"$tool" convert "$work/station/habits.dmi" --name HABITS_STRICT --dialect strict >"$work/out" 2>"$work/err"
check "--dialect strict overrides the registry" test $? -eq 1
check "a refused conversion leaves no part" test ! -e "$work/station/repository/HABITS_STRICT"

echo "$failures failure(s)"
exit $((failures > 0))
