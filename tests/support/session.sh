# SPDX-License-Identifier: MIT
# Shared by the shell tests: skipping when a tool is missing, waiting, an isolated desktop
# session with a recording aim: handler, and stopping whatever the test started.
PIDS=()
# Every process the test starts inherits PELLORY_TEST_RUN, also one that detaches itself
# (tmux's server), so that all of them can be found and ended.
end_test_processes() {
    local pid keep=" $BASHPID " up=$$ # and the test's own shell with what runs it
    while ((up > 1)); do keep+="$up " && up=$(ps -o ppid= -p "$up") || break; up=$((up)); done # unpadded
    for pid in $(grep -lsxzF "PELLORY_TEST_RUN=$T" /proc/[0-9]*/environ | cut -d/ -f3); do
        [[ $keep == *" $pid "* ]] || kill -KILL "$pid" 2>/dev/null
    done
    grep -o " $T/[^ ]*" /proc/mounts | xargs -r umount -l
}
if [[ -n ${PELLORY_TEST_RUN:-} ]]; then
    T=$PELLORY_TEST_RUN # a test that runs itself again (private_session) keeps its folder
else
    T=$(mktemp -d /tmp/pellory-test.XXXXXX)
    export PELLORY_TEST_RUN=$T
    # CTest ends a test that overruns with SIGKILL, which no trap sees: a guard outside the
    # test's process tree then cleans up after it.
    setsid -f env -u PELLORY_TEST_RUN bash -c "T='$T'; $(declare -f end_test_processes)
        while kill -0 $$ 2>/dev/null; do sleep 1; done; end_test_processes; rm -rf '$T'" \
        </dev/null >/dev/null 2>&1
fi
fail() { echo "FAIL: $*" >&2; exit 1; }
need() { for tool; do command -v "$tool" >/dev/null || { echo "SKIP: no $tool"; exit 77; }; done; }

# private_session COMMAND...: reruns the test through COMMAND (dbus-run-session -- bash "$0"
# "$@": a private D-Bus session bus) in a process namespace of its own, as the bridge looks
# for clients among the user's processes and must find only the test's.
private_session() {
    [[ -z ${PRIVATE_SESSION:-} ]] || return 0
    ((EUID == 0)) || { echo "SKIP: a process namespace and a second user need root"; exit 77; }
    # The test keeps its folder, and so its guard, also when it goes on as another user.
    [[ $1 != runuser ]] || chown "$3" "$T"
    # bash as the namespace's first process reaps orphans without a word.
    PRIVATE_SESSION=1 exec unshare --pid --fork --mount-proc bash -c '"$@"; exit $?' - "$@"
}

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
    end_test_processes
    wait 2>/dev/null
    rm -rf "$T"
    exit "$status"
}
trap stop_all EXIT
trap 'exit 143' TERM INT

# The link the bridge tests send first: "Gone fishing & back <b>soon</b>".
GONE='aim:goaway?message=Gone+fishing+%26+back+%3Cb%3Esoon%3C%2Fb%3E'
# run_bridge URL: $BRIDGE as xdg-open calls the handler; sets STATUS, MS and LINES (its
# standard error).
run_bridge() {
    local start=$(date +%s%N)
    LINES=$(timeout 10 "$BRIDGE" "$1" 2>&1 >/dev/null)
    STATUS=$? MS=$((($(date +%s%N) - start) / 1000000))
}
# ends_in_time STATUS LINES WHAT URL: the exit status (a pattern) and the number of lines on
# standard error, within two seconds.
ends_in_time() {
    run_bridge "$4"
    [[ $STATUS$(grep -c . <<<"$LINES") =~ ^$1$2$ ]] && ((MS < 2000)) || fail "$3: status $STATUS, $MS ms, $LINES"
}

# checks KIND: STATE...: what pellory-aim-bridge --check says of these kinds, exit status 0.
checks() {
    "$BRIDGE" --check >"$T/check" 2>&1 || fail "--check ended with $?: $(cat "$T/check")"
    for line; do grep -qxF "$line" "$T/check" || fail "--check does not say '$line': $(tr "\n" "|" <"$T/check")"; done
}

# start_dunst: the desktop's notifications, on the session bus and the display.
start_dunst() {
    dunst >/dev/null 2>&1 & PIDS+=($!)
    wait_for 10 "dunst" eval 'dunstctl is-paused >/dev/null 2>&1'
}
# told TEXT: how many of the notifications shown so far held it.
told() {
    dunstctl close-all && sleep 0.2 && dunstctl history |
        /usr/bin/python3 -c 'import json, sys; print(sum(sys.argv[1] in n["body"]["data"] for n in json.load(sys.stdin)["data"][0]))' "$1"
}

free_port() { /usr/bin/python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'; }

# in_terminal NAME COMMAND: runs a terminal program in tmux, below the pane's shell (tmux
# resumes its own children when they are stopped), and sets PID to its process id. tmux runs
# it through $SHELL or else the login shell, which is nologin for a system user.
in_terminal() {
    SHELL=/bin/sh tmux -S "$T/tmux" new-session -d -s "$1" -x 80 -y 24 "sh -c 'echo \$\$ >$T/$1.pid; TERM=xterm exec $2 2>/dev/null'; true"
    PIDS+=("$(tmux -S "$T/tmux" display -p "#{pid}")")
    wait_for 10 "$1 to start" test -s "$T/$1.pid"
    PID=$(cat "$T/$1.pid") PIDS+=("$PID")
}

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
