#!/usr/bin/env bash
# libvantreel.so exports the public API and nothing else: every dynamic symbol
# belongs to a class of include/vantreel/ (with its type information and
# virtual table), every such class is exported, and the SONAME carries the
# major version. The rule itself is first tried on symbol lists it must refuse.
# exports_test.sh LIBRARY INCLUDE_DIR SONAME
set -u
library=$1
include=$2
soname=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
source "$(dirname "$0")/../cli/check.sh"

# The public classes: those the headers mark for export.
mapfile -t classes < <(sed -n 's/^class VANTREEL_API \([A-Za-z_][A-Za-z0-9_]*\).*/\1/p' \
    "$include"/vantreel/*.h | sort -u)
if ((${#classes[@]} == 0)); then
    echo "no class VANTREEL_API in $include/vantreel" >&2
    exit 1
fi
alternatives=$(IFS='|'; echo "${classes[*]}")
public="^((typeinfo|typeinfo name|vtable|VTT|construction vtable) for |(non-)?virtual thunk to )?vantreel::($alternatives)(::|[^A-Za-z0-9_]|$)"

# exports_ok FILE: FILE holds demangled symbol names, one a line.
exports_ok() {
    local file=$1 ok=0 class
    if grep -v -E "$public" "$file" >"$work/refused"; then
        echo "not public API:" >&2
        sed 's/^/  /' "$work/refused" >&2
        ok=1
    fi
    for class in "${classes[@]}"; do
        if ! grep -q -E "vantreel::$class(::|[^A-Za-z0-9_]|$)" "$file"; then
            echo "public class $class is not exported" >&2
            ok=1
        fi
    done
    return $ok
}

refuses() {
    ! exports_ok "$1" 2>/dev/null
}

# The rule on lists made up for it: the good one passes, each fault is caught.
printf '%s\n' "${classes[@]}" | sed 's/.*/vantreel::&::~&()\ntypeinfo for vantreel::&/' >"$work/good"
check "a list of the public classes passes" exports_ok "$work/good"
for bad in 'vantreel::RegEntry::OpenKey(std::string const&)' \
    'std::vector<int, std::allocator<int> >::_M_realloc_insert(int&&)' \
    'typeinfo for vantreel::Scanner' \
    "vantreel::${classes[0]}Helper::Run()" \
    'sqlite3_open'; do
    { cat "$work/good"; echo "$bad"; } >"$work/bad"
    check "refuses: $bad" refuses "$work/bad"
done
grep -v "vantreel::${classes[0]}" "$work/good" >"$work/missing"
check "refuses a list without ${classes[0]}" refuses "$work/missing"

# The library itself.
nm -D --defined-only -C "$library" | cut -d' ' -f3- | sort -u >"$work/exported"
check "the library exports symbols" test -s "$work/exported"
check "only the public API is exported (${classes[*]})" exports_ok "$work/exported"
check "SONAME is $soname" bash -c "objdump -p '$library' | grep -q -E 'SONAME +$soname\$'"

echo "packaging: $failures failed"
exit $((failures > 0))
