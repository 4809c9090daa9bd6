#!/usr/bin/env bash
# `vantreel --help` lists every verb with its arguments and an example, each
# verb answers `--help` on its own, `--version` names the version, and a wrong
# command line gets a one-line error, the usage and exit status 2.
# help_test.sh TOOL VERSION
set -u
tool=$1
version=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
source "$(dirname "$0")/check.sh"

"$tool" --help >"$work/help" 2>"$work/err"
check "--help exits 0" test $? -eq 0
check "--help writes nothing on standard error" test ! -s "$work/err"
# The verbs: the words after "vantreel" up to the first argument or description.
sed -n 's/^  vantreel \(\([a-z][a-z-]* \?\)*\).*/\1/p' "$work/help" | sed 's/ *$//' >"$work/verbs"
check "--help lists the tool's verbs" test "$(wc -l <"$work/verbs")" -ge 20
check "every verb has an example" \
    test "$(grep -c '^  vantreel ' "$work/help")" -eq "$(grep -c '^      example: ' "$work/help")"
check "each verb's example is on the line after it" \
    awk 'prev ~ /^  vantreel / && $0 !~ /^      example: / {bad = 1} {prev = $0}
         END {exit bad || prev ~ /^  vantreel /}' "$work/help"
while read -r verb; do
    read -ra words <<<"$verb"
    "$tool" "${words[@]}" --help >"$work/one" 2>&1
    check "'$verb --help' exits 0" test $? -eq 0
    check "'$verb --help' shows its usage and example" \
        bash -c "grep -q '^  vantreel $verb' '$work/one' && grep -q '^      example: .*vantreel $verb' '$work/one'"
done <"$work/verbs"

"$tool" dmis --help >"$work/out" 2>&1
check "a group's --help lists its verbs only" \
    bash -c "grep -q 'vantreel dmis tokens' '$work/out' && ! grep -q 'vantreel strings' '$work/out'"
"$tool" strings --help >"$work/out" 2>&1
check "a verb's --help also lists the verbs below it" \
    bash -c "grep -q 'vantreel strings ID' '$work/out' && grep -q 'vantreel strings check' '$work/out'"
"$tool" dmis tokens plate.dmi --help >"$work/out" 2>&1
check "--help after a verb's arguments shows that verb" \
    bash -c "grep -q 'vantreel dmis tokens FILE' '$work/out' && ! grep -q 'vantreel dmis list' '$work/out'"

"$tool" --version >"$work/out" 2>&1
check "--version exits 0" test $? -eq 0
check "--version names $version" grep -qx "vantreel $version" "$work/out"

# Wrong command lines: the arguments (| between them), the first line on standard error.
while IFS=';' read -r line expected; do
    IFS='|' read -ra args <<<"$line"
    "$tool" "${args[@]}" >"$work/out" 2>"$work/err"
    status=$?
    label="'${args[*]}'"
    check "$label exits 2" test $status -eq 2
    check "$label: $expected" bash -c "head -n 1 '$work/err' | grep -qF -- \"\$1\"" _ "$expected"
    check "$label: the usage follows" bash -c "sed -n 2p '$work/err' | grep -q '^usage'"
    check "$label: nothing on standard output" test ! -s "$work/out"
done <<'CASES'
;vantreel: no command given
bogus;vantreel: unknown command 'bogus'
dmis|bogus;vantreel: unknown command 'dmis bogus'
dmis|tokens;vantreel dmis tokens: expects FILE
dmis|tokens|a.dmi|b.dmi;vantreel dmis tokens: unexpected argument 'b.dmi'
dmis|bas|a.dmi;vantreel dmis bas: expects --out DIR
dmis|save|a.dmi;vantreel dmis save: expects FILE MODEL
strings|110001|--bogus|x;vantreel strings: unknown option '--bogus'
strings|110001|--lang;vantreel strings: option '--lang' needs a value
convert|a.dmi|--name|A|--name|B;vantreel convert: option '--name' given twice
config|install-directory|extra;vantreel config install-directory: unexpected argument 'extra'
bogus|--help;vantreel: unknown command 'bogus'
CASES

"$tool" dmis bogus 2>"$work/err"
check "an unknown verb of a group shows that group's usage" \
    bash -c "grep -q 'vantreel dmis list' '$work/err' && ! grep -q 'vantreel strings' '$work/err'"

echo "cli: $failures failed"
exit $((failures > 0))
