#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The Debian packages, built by scripts/build-deb from a clean copy of the tree: lintian
# finds nothing, apt resolves their dependencies, and unpacked into a folder of their own
# (never installed) the programs answer, the launchers and the metainfo validate, and the
# bridge is the aim: handler that xdg-open finds once the desktop database is updated, as
# the package's install does.
# Usage: deb.sh SOURCE_DIR
set -uo pipefail
source "$(dirname "$0")/../support/session.sh"
need dpkg-buildpackage dh lintian fakeroot dpkg-deb apt-get desktop-file-validate appstreamcli update-desktop-database xdg-mime
isolated_home
"$1/scripts/build-deb" "$T/debs" >/dev/null || fail "the packages did not build"
DEBS=("$T"/debs/pellory_*.deb "$T"/debs/pellory-aim-bridge_*.deb)
lintian --fail-on error,warning "${DEBS[@]}" || fail "lintian"
apt-get install --simulate "${DEBS[@]}" >"$T/apt" 2>&1 || fail "apt cannot resolve the dependencies: $(tail -5 "$T/apt")"
for deb in "${DEBS[@]}"; do dpkg-deb -x "$deb" "$T/root"; done
for program in pellory pellory-aim-bridge; do
    [[ $(env -u DISPLAY "$T/root/usr/bin/$program" --version) =~ ^$program\ [0-9.]+$ ]] || fail "$program --version"
done
desktop-file-validate "$T"/root/usr/share/applications/*.desktop || fail "the launchers"
appstreamcli validate --no-net "$T"/root/usr/share/metainfo/*.xml >/dev/null || fail "the metainfo"
update-desktop-database "$T/root/usr/share/applications"
[[ $(XDG_DATA_DIRS=$T/root/usr/share xdg-mime query default x-scheme-handler/aim) == pellory-aim-bridge.desktop ]] ||
    fail "xdg-open does not find the bridge for aim: links"
echo "all checks passed"
