#!/usr/bin/env bash
# pellory-aim-bridge against a real Finch on a private session bus.
# Usage: bridge_finch.sh BRIDGE CMAKE BUILD_DIR
set -uo pipefail

BRIDGE=$1 CMAKE=$2 BUILD_DIR=$3
SERVICE=im.pidgin.purple.PurpleService

for tool in finch tmux dbus-run-session dbus-send xdg-open xdg-mime desktop-file-validate; do
    command -v "$tool" >/dev/null || { echo "FAIL - $tool is not installed"; exit 1; }
done
# A bus of our own: dbus-run-session ends its daemon when this script ends.
if [[ -z ${BRIDGE_TEST_PRIVATE_BUS:-} ]]; then
    BRIDGE_TEST_PRIVATE_BUS=1 exec dbus-run-session -- bash "$0" "$@"
fi

T=$(mktemp -d)
export HOME=$T/home
mkdir -p "$HOME"
unset TMUX
passed=0 failed=0
cleanup() {
    if [[ -s $T/finch.pid ]] && ! finch_gone; then
        kill -CONT "$(finch_pid)"
        kill "$(finch_pid)"
        wait_until 5 finch_gone || kill -KILL "$(finch_pid)"
    fi
    tmux -S "$T/sock" kill-server 2>/dev/null
    rm -rf "$T"
}
trap cleanup EXIT

check() { # DESCRIPTION COMMAND...
    if "${@:2}"; then
        echo "ok - $1"
        passed=$((passed + 1))
    else
        echo "FAIL - $1"
        failed=$((failed + 1))
        return 1
    fi
}
now_ms() { echo $(($(date +%s%N) / 1000000)); }
purple() {
    dbus-send --session --print-reply=literal --reply-timeout=2000 --dest=$SERVICE \
        /im/pidgin/purple/PurpleObject "im.pidgin.purple.PurpleInterface.$1" "${@:2}"
}
int_of() { purple "$@" | awk '{print $2}'; }
status_count() { purple PurpleSavedstatusesGetAll | grep -c int32; }
# True once the Finch just started owns the name, not one that is still on its way out.
bus_has_finch() {
    [[ -s $T/finch.pid ]] && dbus-send --session --print-reply=literal \
        --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.GetConnectionUnixProcessID string:$SERVICE 2>/dev/null |
        grep -qw "$(finch_pid)"
}
wait_until() { # SECONDS COMMAND...
    local end=$(($(now_ms) + $1 * 1000))
    until "${@:2}"; do
        (($(now_ms) < end)) || return 1
        sleep 0.02
    done
}
finch_pid() { cat "$T/finch.pid"; }
# Finch takes the name before it is done starting; calls wait until then.
finch_answers() { purple PurpleSavedstatusGetCurrent >/dev/null 2>&1; }
finch_gone() { ! kill -0 "$(finch_pid)" 2>/dev/null; }

# Finch runs below the pane's shell: tmux resumes its own children when they are stopped.
start_finch() {
    rm -f "$T/finch.pid"
    tmux -S "$T/sock" new-session -d -s finch -x 80 -y 24 \
        "sh -c 'echo \$\$ > $T/finch.pid; TERM=xterm exec finch 2>/dev/null'; true"
    wait_until 10 bus_has_finch && wait_until 10 finch_answers
}
# PurpleCoreQuit saves the statuses but leaves the process running.
stop_finch() {
    purple PurpleCoreQuit >/dev/null 2>&1
    kill "$(finch_pid)" && wait_until 5 finch_gone
}

# The sending side's encoding: blanks to "+"; "%", "+", "&", "#" escaped; the rest raw.
aim_url() {
    local text=$1 url='aim:goaway?message=' c i
    for ((i = 0; i < ${#text}; i++)); do
        c=${text:i:1}
        case $c in
        ' ') url+=+ ;; %) url+=%25 ;; +) url+=%2B ;; '&') url+=%26 ;; '#') url+=%23 ;;
        *) url+=$c ;;
        esac
    done
    printf '%s' "$url"
}
run_bridge() { # URL: the way xdg-open calls the handler, one argument
    local start
    start=$(now_ms)
    timeout 10 "$BRIDGE" "$1" 2>"$T/stderr"
    bridge_status=$?
    bridge_ms=$(($(now_ms) - start))
}
# The client's current away message, byte for byte, in $T/got.
current_message_is() { # EXPECTED
    purple PurpleSavedstatusGetMessage "int32:$(int_of PurpleSavedstatusGetCurrent)" >"$T/raw"
    tail -c +4 "$T/raw" >"$T/got" # literal output puts three blanks before a string
    printf '%s' "$1" | cmp -s - "$T/got"
}
sets_message() { # EXPECTED: the last run succeeded silently and the client shows EXPECTED
    ((bridge_status == 0)) && [[ ! -s $T/stderr ]] && current_message_is "$1"
}
fails_fast() { # fails with one line on standard error within two seconds
    ((bridge_status != 0 && bridge_ms < 2000)) && [[ $(wc -l <"$T/stderr") == 1 ]]
}

run_bridge "$(aim_url 'no client')"
check "without Finch: exit $bridge_status, $bridge_ms ms: $(cat "$T/stderr")" fails_fast
DBUS_SESSION_BUS_ADDRESS=unix:path=$T/no-bus run_bridge "$(aim_url 'no bus')"
check "without a bus: exit $bridge_status, $bridge_ms ms: $(cat "$T/stderr")" fails_fast

check "Finch owns $SERVICE" start_finch || exit 1

text=$'C++ 100%&up#1 <font color="#ff0000">é\r\n\'quoted\'\t`$(x)` "2nd"\r\nline'
run_bridge "$(aim_url "$text")"
check "the sent text arrives byte for byte, CR LF as LF ($bridge_ms ms)" \
    sets_message "${text//$'\r\n'/$'\n'}"

before=$(status_count)
all_arrived=true slowest_ms=0
for i in $(seq 1 20); do
    rotation=$([[ $((i % 2)) == 0 ]] && echo 'Rotation A %' || echo 'Rotation B &')
    run_bridge "$(aim_url "$rotation")"
    sets_message "$rotation" || all_arrived=false
    slowest_ms=$((bridge_ms > slowest_ms ? bridge_ms : slowest_ms))
done
added=$(($(status_count) - before))
check "20 rotations of two texts all arrive (slowest call $slowest_ms ms)" $all_arrived
check "20 rotations of two texts add at most 2 saved statuses (added $added)" test "$added" -le 2

# Raw and escaped: C0 controls, U+FFFE, CR LF, a tab.
controls='aim:goaway?message=ctrl'$'\x01\x07\x1b'%01%1F%0D%0A$'\xef\xbf\xbe'tab$'\there\r\nend'
storable=$'ctrl\ntab\there\nend'
run_bridge "$controls"
check "control characters and line breaks are made storable" sets_message "$storable"
saved=$(status_count)
check "Finch stops after PurpleCoreQuit and SIGTERM" stop_finch
check "Finch starts again on the same home" start_finch || exit 1
check "the status file was readable: $saved saved statuses kept" test "$(status_count)" == "$saved"
check "the last away message was restored" current_message_is "$storable"
run_bridge "$controls"
check "the same text after a restart reuses its saved status" test "$(status_count)" == "$saved"

# The whole chain: installed desktop entry, xdg-open's lookup, the bridge on PATH.
"$CMAKE" --install "$BUILD_DIR" --component bridge --prefix "$T/prefix" >/dev/null
export XDG_DATA_HOME=$T/prefix/share XDG_CONFIG_HOME=$T/config PATH=$T/prefix/bin:$PATH
unset WAYLAND_DISPLAY BROWSER
# xdg-open's generic mode asks for a display but never opens it.
export XDG_CURRENT_DESKTOP=X-Generic DISPLAY=:65535
check "the installed desktop entry is valid" \
    desktop-file-validate "$XDG_DATA_HOME/applications/pellory-aim-bridge.desktop"
xdg-mime default pellory-aim-bridge.desktop x-scheme-handler/aim
check "xdg-mime finds the installed handler" \
    test "$(xdg-mime query default x-scheme-handler/aim)" == pellory-aim-bridge.desktop
via_xdg_open='Through xdg-open: 50% + "quotes" & <b>#1</b>'
timeout 10 xdg-open "$(aim_url "$via_xdg_open")"
check "xdg-open hands the text to the installed bridge" current_message_is "$via_xdg_open"

kill -STOP "$(finch_pid)"
run_bridge "$(aim_url 'frozen')"
kill -CONT "$(finch_pid)"
check "a frozen Finch: exit $bridge_status, $bridge_ms ms: $(cat "$T/stderr")" fails_fast

echo "$passed passed, $failed failed"
((failed == 0))
