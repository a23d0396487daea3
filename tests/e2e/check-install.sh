#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks the launcher, the icons and the
# program land where desktops look for them.
# Usage: check-install.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
[[ $# -eq 2 ]] || { echo "usage: $0 BUILD_DIR SOURCE_DIR" >&2; exit 2; }
BUILD=$1
SRC=$2
PREFIX=$(mktemp -d /tmp/pellory-install.XXXXXX)
trap 'rm -rf "$PREFIX"' EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

command -v desktop-file-validate >/dev/null || fail "desktop-file-validate is not installed"
desktop-file-validate "$SRC/data/pellory.desktop" || fail "the launcher does not validate"

cmake --install "$BUILD" --prefix "$PREFIX" >"$PREFIX.log" 2>&1 || {
    cat "$PREFIX.log" >&2
    rm -f "$PREFIX.log"
    fail "cmake --install failed"
}
rm -f "$PREFIX.log"

[[ -f $PREFIX/bin/pellory && -x $PREFIX/bin/pellory ]] || fail "bin/pellory is missing or not executable"
desktop=$PREFIX/share/applications/pellory.desktop
[[ -f $desktop ]] || fail "share/applications/pellory.desktop is missing"
desktop-file-validate "$desktop" || fail "the installed launcher does not validate"
for key in 'Name=Pellory' 'Exec=pellory' 'Icon=pellory' 'Type=Application'; do
    grep -qx "$key" "$desktop" || fail "the launcher lacks $key"
done
grep -Eq '^Categories=(.*;)?Network;' "$desktop" || fail "the launcher is not in Network"

png=$PREFIX/share/icons/hicolor/32x32/apps/pellory.png
svg=$PREFIX/share/icons/hicolor/scalable/apps/pellory.svg
[[ -f $png ]] || fail "share/icons/hicolor/32x32/apps/pellory.png is missing"
[[ -f $svg ]] || fail "share/icons/hicolor/scalable/apps/pellory.svg is missing"
# A PNG of 32x32 pixels: the signature, then the IHDR chunk's width and height.
header=$(od -An -tx1 -N24 "$png" | tr -d ' \n')
[[ ${header:0:16} == 89504e470d0a1a0a ]] || fail "pellory.png is not a PNG"
[[ ${header:32:16} == 0000002000000020 ]] || fail "pellory.png is not 32x32 (header $header)"
grep -q '<svg' "$svg" || fail "pellory.svg is not an SVG"
grep -q 'viewBox="0 0 32 32"' "$svg" || fail "pellory.svg lacks its 32-unit view box"

echo "installed: bin/pellory, share/applications/pellory.desktop, hicolor 32x32 PNG and scalable SVG"
