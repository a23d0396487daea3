#!/usr/bin/env bash
# pellory-aim-bridge against a real Finch on a private session bus.
# Usage: finch.sh BRIDGE BUILD_DIR
set -uo pipefail
source "$(dirname "$0")/../support/session.sh"
need finch tmux dbus-run-session dbus-send xdg-open xdg-mime desktop-file-validate
[[ -n ${FINCH_TEST_BUS:-} ]] || FINCH_TEST_BUS=1 exec dbus-run-session -- bash "$0" "$@"
BRIDGE=$1
SERVICE=im.pidgin.purple.PurpleService
isolated_home
purple() {
    dbus-send --session --print-reply=literal --reply-timeout=2000 --dest=$SERVICE \
        /im/pidgin/purple/PurpleObject "im.pidgin.purple.PurpleInterface.$1" "${@:2}"
}
statuses() { purple PurpleSavedstatusesGetAll | grep -c int32; }
current_message() { # the client's away message, byte for byte
    purple PurpleSavedstatusGetMessage "int32:$(purple PurpleSavedstatusGetCurrent | awk '{print $2}')" |
        tail -c +4
}
bridge() { # URL: as xdg-open calls the handler; sets STATUS and MS
    local start=$(date +%s%N)
    timeout 10 "$BRIDGE" "$1" 2>"$T/stderr"
    STATUS=$?
    MS=$((($(date +%s%N) - start) / 1000000))
}
sets() { bridge "$1"; ((STATUS == 0)) && [[ ! -s $T/stderr && $(current_message) == "$2" ]]; }
fails_fast() { # one line on standard error within two seconds
    bridge "$1"
    ((STATUS != 0 && MS < 2000)) && [[ $(wc -l <"$T/stderr") == 1 ]] || fail "$2: $STATUS, $MS ms"
}
fails_fast 'aim:goaway?message=nobody' "without Finch"
DBUS_SESSION_BUS_ADDRESS=unix:path=$T/no-bus fails_fast 'aim:goaway?message=x' "without a bus"

# Finch runs below the pane's shell: tmux resumes its own children when they are stopped.
tmux -S "$T/tmux" new-session -d -x 80 -y 24 "sh -c 'echo \$\$ >$T/finch.pid; TERM=xterm exec finch 2>/dev/null'; true"
wait_for 20 "Finch on the bus" sh -c "dbus-send --session --print-reply=literal --dest=$SERVICE \
    /im/pidgin/purple/PurpleObject im.pidgin.purple.PurpleInterface.PurpleSavedstatusGetCurrent >/dev/null 2>&1"
FINCH=$(cat "$T/finch.pid")
PIDS+=("$FINCH" "$(tmux -S "$T/tmux" display -p "#{pid}")")

sets 'aim:goaway?message=C%2B%2B+100%25%26up%231+<i>é</i>%0D%0A2nd' $'C++ 100%&up#1 <i>é</i>\n2nd' ||
    fail "the text did not arrive byte for byte: $(current_message | od -c)"
sets $'aim:goaway?message=ctrl\x01\x1b%01%0D%0A\xef\xbf\xbetab\there' $'ctrl\ntab\there' ||
    fail "control characters were not made storable: $(current_message | od -c)"
before=$(statuses)
for i in $(seq 10); do sets "aim:goaway?message=Rotation+$((i % 2))" "Rotation $((i % 2))" || fail "rotation $i"; done
(($(statuses) - before <= 2)) || fail "10 rotations of two texts added $(($(statuses) - before)) statuses"

# The whole chain: the installed launcher, xdg-open's lookup, the bridge on PATH.
cmake --install "$2" --prefix "$T/prefix" >/dev/null
for launcher in "$T"/prefix/share/applications/pellory{,-aim-bridge}.desktop; do
    desktop-file-validate "$launcher" || fail "$launcher does not validate"
done
ls "$T"/prefix/{bin/pellory,share/icons/hicolor/{32x32/apps/pellory.png,scalable/apps/pellory.svg}} >/dev/null ||
    fail "the program or its icons were not installed"
export XDG_DATA_HOME=$T/prefix/share PATH=$T/prefix/bin:$PATH XDG_CURRENT_DESKTOP=X-Generic DISPLAY=:65535
xdg-mime default pellory-aim-bridge.desktop x-scheme-handler/aim
timeout 10 xdg-open 'aim:goaway?message=Through+xdg-open+%26+<b>%231</b>'
[[ $(current_message) == 'Through xdg-open & <b>#1</b>' ]] || fail "xdg-open did not reach the bridge"

kill -STOP "$FINCH"
fails_fast 'aim:goaway?message=frozen' "a frozen Finch"
kill -CONT "$FINCH"
echo "all checks passed"
