#!/usr/bin/env bash
# Hostile files given to the command-line tool: what stands at a target is
# replaced only when it is a regular file, inputs that never end are refused
# at once, and a failed build makes `vantreel convert` fail.
set -u
tool=$1
data=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
source "$(dirname "$0")/check.sh"
source_file="$data/parse/plate_program.dmi"

"$tool" dmis bas "$source_file" --out "$work/new/deep/folder" 2>"$work/err"
check "dmis bas creates the missing output folder" test -s "$work/new/deep/folder/ModMain.bas"

mkfifo "$work/fifo"
for verb in "dmis list" "dmis tokens" "dmis check"; do
    # shellcheck disable=SC2086
    timeout 20 "$tool" $verb "$work/fifo" >"$work/out" 2>"$work/err"
    status=$?
    check "$verb on a FIFO ends at once with an error" test $status -eq 1
    check "$verb names the FIFO" grep -q "FIFO, not a regular file" "$work/err" "$work/out"
done
timeout 20 "$tool" dmis load /dev/zero >"$work/out" 2>"$work/err"
check "dmis load /dev/zero fails" test $? -eq 1
check "dmis load /dev/zero says what it is" \
    grep -qx "/dev/zero: it is a character device, not a regular file" "$work/err"

"$tool" dmis save "$source_file" "$work/fifo" 2>"$work/err"
check "dmis save refuses a FIFO" test $? -eq 1
check "the FIFO stays a FIFO" test -p "$work/fifo"
check "dmis save says why" grep -q "it is a FIFO, not a regular file" "$work/err"
printf 'old' >"$work/real.model"
ln -s real.model "$work/link.model"
"$tool" dmis save "$source_file" "$work/link.model" 2>"$work/err"
check "dmis save writes through a symbolic link" test -L "$work/link.model"
check "the link's target holds the model" test "$(stat -c %s "$work/real.model")" -gt 3
check "no temporary file is left" test -z "$(ls -A "$work" | grep '^\.vantreel-')"

export VANTREEL_REGISTRY=$work/registry.db
"$tool" reg add 'HKLM\SOFTWARE\Korvessa\Common' /v Name /d Station /f >/dev/null
timeout 20 "$tool" reg export 'HKLM\SOFTWARE\Korvessa\Common' "$work/fifo" /y >"$work/out" 2>"$work/err"
check "reg export refuses a FIFO" test $? -ne 0
check "the FIFO is left as it was" test -p "$work/fifo"
timeout 20 "$tool" reg import "$work/fifo" >"$work/out" 2>"$work/err"
check "reg import of a FIFO ends at once with an error" test $? -eq 1
check "reg import says why" grep -q "it is a FIFO, not a regular file" "$work/err"

# A station whose development environment fails the build.
mkdir -p "$work/repository" "$work/Visual Basic"
printf '#!/bin/sh\necho "compile error" >&2\nexit 2\n' >"$work/Visual Basic/VB6.EXE"
chmod +x "$work/Visual Basic/VB6.EXE"
"$tool" reg add 'HKLM\SOFTWARE\Korvessa\Common' /v RepositoryRoot /d "$work/repository" /f >/dev/null
"$tool" reg add 'HKLM\SOFTWARE\Microsoft\VisualStudio\6.0\Setup\Microsoft Visual Basic' \
    /v ProductDir /d "$work/Visual Basic" /f >/dev/null
"$tool" convert "$source_file" --name PLATE >"$work/out" 2>"$work/err"
check "convert exits 3 when the part is made but not built" test $? -eq 3
check "convert still names the part" grep -qx "$work/repository/PLATE" "$work/out"
check "the failure names the program and its exit code" \
    grep -q "VB6.EXE ended with exit code 2" "$work/err"
"$tool" convert "$source_file" --name 'CON' >"$work/out" 2>"$work/err"
check "convert refuses a reserved device name" test $? -eq 1
check "and says why" grep -q "reserved device name" "$work/err"
check "nothing was made for it" test ! -e "$work/repository/CON"

echo "cli: $failures failed"
exit $((failures > 0))
