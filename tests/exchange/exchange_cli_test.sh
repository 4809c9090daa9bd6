#!/usr/bin/env bash
# The parts verbs as an administrator uses them: export, browse, import, the
# legacy layout, and a clear refusal (non-zero exit, nothing written) for
# every bad input.
set -u
tool=$1
cli=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
source "$cli/check.sh"
export VANTREEL_REGISTRY=$work/registry.db
"$tool" reg add 'HKLM\SOFTWARE\Korvessa\Common' /v RepositoryRoot /d "$work/repo" /f >/dev/null

for part in BRACKET SHAFT; do
    mkdir -p "$work/repo/$part/Fixture"
    printf 'Type=Exe\r\nName="%s"\r\n' "$part" >"$work/repo/$part/$part.vbp"
    head -c 50000 /dev/urandom >"$work/repo/$part/ModMain.bas"
    head -c 3000 /dev/urandom >"$work/repo/$part/$part.exe"
    echo "clamp" >"$work/repo/$part/Fixture/clamp.fix"
done

"$tool" parts export "$work/out.zip" BRACKET "$work/repo/SHAFT" --title "Line 3" --user anna \
    --comments "night shift" --fix >"$work/out" 2>"$work/err"
check "export exits 0" test $? -eq 0
check "export names what it wrote" grep -q "Exported 2 parts" "$work/out"

"$tool" parts browse "$work/out.zip" >"$work/out" 2>"$work/err"
check "browse exits 0" test $? -eq 0
check "browse shows the title" grep -q "^Title: Line 3$" "$work/out"
check "browse lists the parts" grep -q "^  SHAFT$" "$work/out"

mkdir "$work/station2"
"$tool" parts import "$work/out.zip" "$work/station2" --part SHAFT >"$work/out" 2>"$work/err"
check "import of one part exits 0" test $? -eq 0
check "the part came back byte for byte" diff -r "$work/repo/SHAFT" "$work/station2/SHAFT"
check "only the part asked for" test ! -e "$work/station2/BRACKET"

"$tool" parts import "$work/out.zip" "$work/station2" >"$work/out" 2>"$work/err"
check "importing over an existing part fails" test $? -ne 0
check "and says why" grep -q "already exists" "$work/err"
check "and adds nothing" test ! -e "$work/station2/BRACKET"

mkdir "$work/templates"
"$tool" parts import "$work/out.zip" "$work/templates" --template >/dev/null 2>&1
check "a template comes without its program" test ! -e "$work/templates/BRACKET/BRACKET.exe"

head -c 3000 "$work/out.zip" >"$work/cut.zip"
mkdir "$work/empty"
"$tool" parts import "$work/cut.zip" "$work/empty" >"$work/out" 2>"$work/err"
check "a truncated archive is refused" test $? -ne 0
check "with a message" grep -q "ERROR:" "$work/err"
check "leaving nothing" test -z "$(ls -A "$work/empty")"
"$tool" parts browse "$work/repo/BRACKET/BRACKET.vbp" >"$work/out" 2>"$work/err"
check "browsing a text file fails" test $? -ne 0
check "naming it" grep -q "is not an export file" "$work/err"

mkdir "$work/legacy"
"$tool" parts export-legacy "$work/legacy" BRACKET >"$work/out" 2>"$work/err"
check "legacy export exits 0" test $? -eq 0
check "with CRLF lines" grep -q $'^VisualBasic\r$' "$work/legacy/BRACKET/BRACKET.lst"
check "folders before files" grep -q $'^F:Fixture\r$' "$work/legacy/BRACKET/BRACKET.lst"

mkdir "$work/migrated"
"$tool" parts import-legacy "$work/legacy/BRACKET/BRACKET.lst" "$work/migrated" >"$work/out" 2>"$work/err"
check "a part already in the repository is refused" test $? -ne 0
check "with message 125077" grep -q "already contains a part named BRACKET" "$work/err"
mv "$work/repo/BRACKET" "$work/BRACKET.moved"
"$tool" parts import-legacy "$work/legacy/BRACKET/BRACKET.lst" "$work/migrated" --upgrade \
    >"$work/out" 2>"$work/err"
check "legacy import exits 0" test $? -eq 0
check "the fixture came along" cmp "$work/BRACKET.moved/Fixture/clamp.fix" \
    "$work/migrated/BRACKET/Fixture/clamp.fix"
check "the project was upgraded" grep -q "ExeName32" "$work/migrated/BRACKET/BRACKET.vbp"

printf 'EVIL\r\nVisualBasic\r\nD:..\\..\\registry.db\r\n' >"$work/legacy/evil.lst"
"$tool" parts import-legacy "$work/legacy/evil.lst" "$work/migrated" >"$work/out" 2>"$work/err"
check "a list leaving its folder is refused" test $? -ne 0
check "saying so" grep -q "leaves its folder" "$work/err"
check "creating nothing" test ! -e "$work/migrated/EVIL"

"$tool" parts export "$work/x.zip" >"$work/out" 2>"$work/err"
check "export without parts is a usage error" test $? -eq 2
"$tool" parts import "$work/out.zip" "$work/x" --colour red >"$work/out" 2>"$work/err"
check "an unknown option is a usage error" test $? -eq 2

QT_QPA_PLATFORM=offscreen "$tool" screenshots "$work/shots" >"$work/out" 2>"$work/err"
check "the exchange dialogs were drawn" \
    test "$(grep -c -E '/(export|import)-[a-z-]+-(en|de)\.png$' "$work/out")" -eq 12

echo "cli: $failures failed"
exit $((failures > 0))
