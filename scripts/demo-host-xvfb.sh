#!/usr/bin/env bash
# Starts `vantreel demo-host` once on a real X server (Xvfb), so the xcb
# platform plugin is exercised, not only offscreen: the host window opens a
# dialog of the library and the screen is saved as a PNG.
# scripts/demo-host-xvfb.sh [BUILD_DIR]   (default: build; writes BUILD_DIR/demo-host.png)
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build}")
tool=$build/bin/vantreel
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
unset QT_QPA_PLATFORM

# The first public method this build has, else the library's message box.
method=MessageBox
for candidate in Login PartOpen SelectMachine ShowInformation Import; do
    if "$tool" demo-host --list | grep -q "\.$candidate	available$"; then
        method=$candidate
        break
    fi
done
screenshot=$build/demo-host.png
rm -f "$screenshot"
xvfb-run -a -s "-screen 0 1280x1024x24" \
    "$tool" demo-host "$work/station" --open "$method" --screenshot "$screenshot" | tee "$work/out"
grep -q "platform xcb" "$work/out" || {
    echo "demo-host did not run on the X server" >&2
    exit 1
}
[[ $(head -c 8 "$screenshot" | od -An -tx1 | tr -d ' \n') == 89504e470d0a1a0a ]] || {
    echo "no PNG screenshot in $screenshot" >&2
    exit 1
}
echo "demo-host under Xvfb: $method opened, screen saved to $screenshot"
