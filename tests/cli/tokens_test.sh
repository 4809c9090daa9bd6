#!/usr/bin/env bash
# Drives the command-line tool as a user does: exit statuses, standard output
# and standard error of `vantreel dmis tokens` and `vantreel demo`.
set -u
tool=$1
data=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
source "$(dirname "$0")/check.sh"

"$tool" dmis tokens "$data/plate.dmi" >"$work/out" 2>"$work/err"
check "tokens of a good file exit 0" test $? -eq 0
check "tokens of a good file match the golden dump" cmp -s "$work/out" "$data/plate.tokens"
check "nothing on standard error for a good file" test ! -s "$work/err"

"$tool" dmis tokens "$work/missing.dmi" >"$work/out" 2>"$work/err"
check "a missing file exits 1" test $? -eq 1
check "a missing file is named in the message" \
    grep -q "ParseFile error on '$work/missing.dmi', the file could not be opened" "$work/err"

"$tool" dmis tokens "$data/overflow.dmi" >"$work/out" 2>"$work/err"
check "a failing scan exits 1" test $? -eq 1
check "tokens read before the failure are printed" grep -q "^1	tkInteger	1$" "$work/out"
check "the failure goes to standard error" grep -q "larger than 2147483647" "$work/err"

"$tool" >"$work/out" 2>"$work/err"
check "no arguments exit 2 with usage" test $? -eq 2
check "usage names the tokens command" grep -q "vantreel dmis tokens FILE" "$work/err"

"$tool" demo "$data/parse/plate_program.dmi" >"$work/out" 2>"$work/err"
check "the demo exits 0" test $? -eq 0
check "the demo lists a model ending in ENDFIL" grep -q "^ENDFIL$" "$work/out"

"$tool" dmis list "$data/parse/plate_program.dmi" >"$work/out" 2>"$work/err"
check "a good program lists with exit 0" test $? -eq 0
check "the listing matches the golden listing" cmp -s "$work/out" "$data/parse/plate_program.listing"

"$tool" dmis list "$data/parse/missing_endif.dmi" >"$work/out" 2>"$work/err"
check "a program with an error exits 1" test $? -eq 1
check "the error goes to standard error" grep -q "ENDIF" "$work/err"
check "nothing is listed for it" test ! -s "$work/out"

"$tool" dmis check "$data/parse/plate_program.dmi" "$data/parse/missing_endif.dmi" >"$work/out"
check "check exits 1 when a file fails" test $? -eq 1
check "check says OK per good file" grep -q "plate_program.dmi	OK" "$work/out"
check "check gives the message per failing file" grep -q "missing_endif.dmi	.*ENDIF" "$work/out"

echo "cli: $failures failed"
exit $((failures > 0))
