#!/usr/bin/env bash
# Installs a built tree into a temporary prefix and uses it as a host developer
# would: the installed tool finds its data without help, examples/host is
# configured with only that prefix on CMAKE_PREFIX_PATH, built and run
# offscreen on a sample station, the same program is built with pkg-config,
# and the host guide's examples are compiled against the prefix.
# scripts/host-example.sh [BUILD_DIR]   (default: build, already built)
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build}")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
unset VANTREEL_DATA_DIR
export QT_QPA_PLATFORM=offscreen

fail() {
    echo "host example: $*" >&2
    exit 1
}

cmake --install "$build" --prefix "$prefix" >"$work/install.log" || {
    cat "$work/install.log"
    fail "install failed"
}
tool=$prefix/bin/vantreel
"$tool" --version
[[ $("$tool" config data-directory) == "$prefix/share/vantreel" ]] ||
    fail "the installed tool reads its data from $("$tool" config data-directory)"
# A marked OK text in the installed English table: whatever shows it read that table.
marker="OK (installed)"
sed -i "s/^\\( *110004 *\\)\"OK\"/\\1\"$marker\"/" "$prefix/share/vantreel/ENU110000.rc"
[[ $("$tool" strings 110004 --lang 1033) == "$marker" ]] ||
    fail "the installed tool does not read $prefix/share/vantreel"

"$tool" demo-station "$work/station" >/dev/null
export VANTREEL_REGISTRY=$work/station/registry.db
# The station's add-on is the installed one, not the build tree's.
"$tool" reg query 'HKCR\CLSID' /s >"$work/clsid.txt"
grep -q "REG_SZ *$prefix/lib[^ ]*/vantreel/libvantreel_example_addon.so" "$work/clsid.txt" ||
    fail "the installed demo-station registers another add-on: $(grep '\.so' "$work/clsid.txt")"
"$tool" reg add 'HKLM\SOFTWARE\Korvessa\Common' /v DefaultLanguage /d 1033 /f >/dev/null

echo "== examples/host with CMake, against $prefix only =="
cmake -S examples/host -B "$work/host" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_PREFIX_PATH="$prefix" >"$work/configure.log" || {
    cat "$work/configure.log"
    fail "configuring the example failed"
}
cmake --build "$work/host" >"$work/build.log" || {
    cat "$work/build.log"
    fail "building the example failed"
}
# (Through a file: under pipefail, grep -q ending early would fail ldd.)
ldd "$work/host/host_example" >"$work/ldd.txt"
grep -q "$prefix/lib/libvantreel.so" "$work/ldd.txt" ||
    fail "the example is not linked to the installed library: $(cat "$work/ldd.txt")"
(cd "$work/station" && "$work/host/host_example" "$marker") || fail "the example's checks failed"
(cd "$work/station" && "$work/host/host_example" --no-application "$marker") ||
    fail "the example without a QApplication failed its checks"

echo "== examples/host with pkg-config =="
export PKG_CONFIG_PATH=$prefix/lib/pkgconfig
pkg-config --modversion vantreel
# shellcheck disable=SC2046
g++ -std=c++20 -Wall -Wextra -Werror -fPIC examples/host/main.cpp -o "$work/host_pc" \
    $(pkg-config --cflags --libs vantreel) -Wl,-rpath,"$prefix/lib"
(cd "$work/station" && "$work/host_pc" "$marker" | tail -n 1) || fail "the pkg-config build failed its checks"

echo "== the host guide's examples =="
mkdir -p "$work/guide"
awk -v dir="$work/guide" '/^```cpp$/ {n++; file = sprintf("%s/example%02d.cpp", dir, n); next}
    /^```$/ {file = ""; next} file != "" {print > file}' docs/host-guide.md
compiled=0
for snippet in "$work"/guide/*.cpp; do
    missing=""
    for header in $(sed -n 's/^#include <\(vantreel\/[A-Za-z]*\.h\)>.*/\1/p' "$snippet"); do
        [[ -f $prefix/include/$header ]] || missing+=" $header"
    done
    if [[ -n $missing ]]; then
        echo "not compiled, not installed yet:$missing ($(head -n 1 "$snippet"))"
        continue
    fi
    # Linked as well: every function the example calls is exported by the library.
    # shellcheck disable=SC2046
    g++ -std=c++20 -Wall -Wextra -Werror -fPIC -shared -o "${snippet%.cpp}.so" "$snippet" \
        $(pkg-config --cflags --libs vantreel) -Wl,--no-undefined ||
        fail "the host guide's example $(basename "$snippet") does not compile"
    compiled=$((compiled + 1))
done
((compiled > 0)) || fail "no example of the host guide was compiled"
echo "$compiled examples of the host guide compile"
