# SPDX-License-Identifier: MIT
# Shared by the shell tests: skipping when a tool is missing, waiting, an isolated desktop
# session with a recording aim: handler, and stopping whatever the test started.
T=$(mktemp -d /tmp/pellory-test.XXXXXX)
PIDS=()
fail() { echo "FAIL: $*" >&2; exit 1; }
need() { for tool; do command -v "$tool" >/dev/null || { echo "SKIP: no $tool"; exit 77; }; done; }

# wait_for SECONDS WHAT COMMAND...: polls COMMAND until it succeeds.
wait_for() {
    local seconds=$1 what=$2 end=$((SECONDS + $1))
    shift 2
    until "$@"; do
        ((SECONDS <= end)) || fail "waited ${seconds}s for $what"
        sleep 0.05
    done
}

stop_all() {
    local status=$?
    trap - EXIT
    set +e
    kill "${PIDS[@]}" 2>/dev/null
    sleep 0.3
    kill -KILL "${PIDS[@]}" 2>/dev/null
    pkill -KILL -f "$T/" 2>/dev/null # what those started, such as handlers
    grep -o " $T/[^ ]*" /proc/mounts | xargs -r umount -l
    wait 2>/dev/null
    rm -rf "$T"
    exit "$status"
}
trap stop_all EXIT
trap 'exit 143' TERM INT

# A home of our own, with no desktop and no aim: handler but the test's.
isolated_home() {
    export HOME=$T/home XDG_CONFIG_HOME=$T/home/.config XDG_DATA_HOME=$T/home/.local/share
    export XDG_RUNTIME_DIR=$T/runtime LC_ALL=C.UTF-8
    unset XDG_CURRENT_DESKTOP DESKTOP_SESSION WAYLAND_DISPLAY BROWSER
    mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME/applications"
    mkdir -m 700 "$XDG_RUNTIME_DIR"
}

start_xvfb() {
    Xvfb -displayfd 3 -nolisten tcp -noreset -screen 0 1024x768x24 3>"$T/display" 2>/dev/null &
    PIDS+=($!) XVFB=$!
    wait_for 20 "Xvfb" test -s "$T/display"
    export DISPLAY=":$(head -n 1 "$T/display")"
}

# record_aim_links LOG: the aim: handler appends each link it gets, then a NUL, to LOG.
record_aim_links() {
    printf '#!/bin/sh\nprintf "%%s\\0" "$1" >>"%s"\n' "$1" >"$T/aim-recorder"
    chmod +x "$T/aim-recorder"
    printf '%s\n' '[Desktop Entry]' 'Type=Application' 'Name=AIM recorder' 'NoDisplay=true' \
        "Exec=$T/aim-recorder %u" 'MimeType=x-scheme-handler/aim;' >"$XDG_DATA_HOME/applications/aim-recorder.desktop"
    printf '[Default Applications]\nx-scheme-handler/aim=aim-recorder.desktop\n' >"$XDG_CONFIG_HOME/mimeapps.list"
    : >"$1"
}
