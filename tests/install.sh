#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# What an install puts where desktops, software centres and man look, and the programs'
# command lines without a display. Every messenger kind that the bridge's --help lists is
# named in the README's table, the man page and the launcher.
# Usage: install.sh SOURCE_DIR BUILD_DIR
set -uo pipefail
source "$(dirname "$0")/support/session.sh"
need desktop-file-validate appstreamcli man
isolated_home
SOURCE=$(realpath "$1")
cmake --install "$2" --prefix "$T/prefix" >/dev/null
cd "$T/prefix"
for launcher in share/applications/pellory{,-aim-bridge}.desktop; do
    desktop-file-validate "$launcher" || fail "$launcher does not validate"
done
appstreamcli validate --no-net --pedantic share/metainfo/*.metainfo.xml >/dev/null || fail "the metainfo does not validate"
for page in share/man/man1/pellory{,-aim-bridge}.1; do
    [[ -n $(man -l "$page" 2>/dev/null) && -z $(man --warnings -l "$page" 2>&1 >/dev/null) ]] || fail "$page"
done
for size in 16x16 22x22 24x24 32x32 48x48 64x64 128x128 scalable; do
    ls share/icons/hicolor/$size/apps/pellory.* >/dev/null || fail "no $size icon"
done
for program in pellory pellory-aim-bridge; do
    [[ $(env -u DISPLAY bin/$program --version) =~ ^$program\ [0-9.]+$ ]] || fail "$program --version"
    env -u DISPLAY bin/$program --help | grep -q "^Usage: $program" || fail "$program --help"
done
env -u DISPLAY bin/pellory --bogus 2>/dev/null
(($? == 2)) || fail "pellory with an unknown option did not end with status 2"
# An installed copy keeps its files in the user's config folder, nothing beside itself.
XDG_CONFIG_HOME=$T/config QT_QPA_PLATFORM=offscreen bin/pellory & INSTALLED=$! PIDS+=($!)
wait_for 30 "the installed copy to start" compgen -G "$XDG_RUNTIME_DIR/pellory-*"
kill -TERM $INSTALLED && wait $INSTALLED
[[ -s $T/config/pellory/Config.ini && $(ls bin) == $'pellory\npellory-aim-bridge' ]] || fail "files beside bin/pellory"
bin/pellory-aim-bridge --help | sed -n '/^Messengers:/,$ s/^  \([^:]*\): .*/\1/p' >"$T/kinds"
(($(wc -l <"$T/kinds") >= 7)) || fail "--help lists no messengers: $(cat "$T/kinds")"
while read -r kind; do
    grep -qE "^\| $kind( \([^|]*\))? \|" "$SOURCE/README.md" || fail "the README's table lacks $kind"
    grep -qF "$kind" share/man/man1/pellory-aim-bridge.1 || fail "pellory-aim-bridge(1) lacks $kind"
    grep -q "^Comment=.*$kind" share/applications/pellory-aim-bridge.desktop || fail "the launcher's comment lacks $kind"
done <"$T/kinds"
echo "all checks passed"
