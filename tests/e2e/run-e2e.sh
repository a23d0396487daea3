#!/usr/bin/env bash
# End-to-end test of the real program: a real X server (Xvfb), a real window manager
# (openbox), a real notification area (trayer) and the real URL opener (xdg-open) with a
# recording handler for aim: URLs. It works the window with the mouse and keyboard through
# xdotool, as a person would, and checks what reaches the handler and what lands on disk.
#
# Usage: run-e2e.sh PATH/TO/pellory ARTEFACT_DIR
# Screenshots of the four pages, the handler's log and the program's output are left in
# ARTEFACT_DIR.
set -euo pipefail

# The whole run is bounded in time; the trap below still stops what was started.
if [[ -z ${PELLORY_E2E_BOUNDED:-} ]]; then
    export PELLORY_E2E_BOUNDED=1
    exec timeout --kill-after=10 150 bash "$0" "$@"
fi

[[ $# -eq 2 ]] || { echo "usage: $0 PELLORY_BINARY ARTEFACT_DIR" >&2; exit 2; }
BINARY=$(readlink -f "$1")
ART=$2
mkdir -p "$ART"
ART=$(readlink -f "$ART")
rm -f "$ART"/*.png "$ART"/*.log "$ART"/*.txt "$ART"/Config.ini "$ART"/RandomMsgs.lst

for tool in Xvfb openbox trayer xdotool xwininfo xprop xdpyinfo import xdg-open timeout; do
    command -v "$tool" >/dev/null || { echo "FAIL: $tool is not installed" >&2; exit 1; }
done

START=$(date +%s.%N)
T=$(mktemp -d /tmp/pellory-e2e.XXXXXX)
HANDLER_LOG=$T/handler.log         # every argument the aim: handler got, each followed by NUL
HANDLER_TIMES=$T/handler-times.log # when it got each
PIDS=()          # every process this script started, in start order
PELLORY_PID=
DISPLAY_NUMBER= # set once our own X server runs
STEP="setting up"

# Arithmetic on fractional seconds.
calc() { awk "BEGIN { printf \"%.6f\", $* }"; }
is_true() { awk "BEGIN { exit !($*) }"; }
log() { printf '[%6.2fs] %s\n' "$(calc "$(date +%s.%N) - $START")" "$*"; }

cleanup() {
    local status=$?
    trap - EXIT INT TERM
    if [[ $status -ne 0 ]]; then
        echo "FAIL during: $STEP" >&2
        local f
        for f in "$T"/*.log; do
            [[ -s $f && $f != "$HANDLER_LOG" ]] || continue
            echo "--- ${f##*/} (last lines)" >&2
            tail -n 15 "$f" | cat -v >&2
        done
        # What the screen showed when it failed.
        if [[ -n $DISPLAY_NUMBER ]]; then
            import -window root "$ART/failure-screen.png" 2>/dev/null || true
        fi
    fi
    # Stop in reverse order, each by its process id.
    local i pid
    for ((i = ${#PIDS[@]} - 1; i >= 0; i--)); do
        pid=${PIDS[i]}
        kill -0 "$pid" 2>/dev/null || continue
        kill -TERM "$pid" 2>/dev/null || true
        for _ in $(seq 30); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
        kill -KILL "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    cp -f "$T"/*.log "$ART"/ 2>/dev/null || true
    cp -f "$T"/prog/Config.ini "$T"/prog/RandomMsgs.lst "$ART"/ 2>/dev/null || true
    rm -rf "$T"
    exit "$status"
}
trap cleanup EXIT
trap 'exit 143' TERM
trap 'exit 130' INT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# wait_for SECONDS DESCRIPTION COMMAND...: polls COMMAND until it succeeds.
wait_for() {
    local seconds=$1 what=$2
    shift 2
    local deadline
    deadline=$(calc "$(date +%s.%N) + $seconds")
    until "$@"; do
        if is_true "$(date +%s.%N) > $deadline"; then
            fail "waited ${seconds}s for $what"
        fi
        sleep 0.05
    done
}

now() { date +%s.%N; }
elapsed_since() { calc "$(now) - $1"; }
# float_between VALUE LOW HIGH
float_between() { is_true "$1 >= $2 && $1 <= $3"; }

# ---- An X server on a free display ----
STEP="starting Xvfb"
for n in 91 92 93 94 95 96 97 98 99; do
    [[ -e /tmp/.X$n-lock || -e /tmp/.X11-unix/X$n ]] && continue
    # -noreset: a server that resets when its last client leaves refuses connections meanwhile.
    Xvfb ":$n" -nolisten tcp -noreset -screen 0 1024x768x24 >"$T/xvfb.log" 2>&1 &
    pid=$!
    # Either it serves the display, or it gave up because another server took it first.
    for _ in $(seq 100); do
        xdpyinfo -display ":$n" >/dev/null 2>&1 && break
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.05
    done
    if xdpyinfo -display ":$n" >/dev/null 2>&1 && kill -0 "$pid" 2>/dev/null; then
        PIDS+=("$pid")
        DISPLAY_NUMBER=$n
        break
    fi
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
done
[[ -n $DISPLAY_NUMBER ]] || fail "no free display among :91..:99"
export DISPLAY=":$DISPLAY_NUMBER"
log "Xvfb on $DISPLAY"

# ---- An isolated desktop session with a recording aim: handler ----
STEP="preparing the session"
export HOME=$T/home
export XDG_CONFIG_HOME=$HOME/.config
export XDG_DATA_HOME=$HOME/.local/share
export XDG_CACHE_HOME=$HOME/.cache
export XDG_RUNTIME_DIR=$T/runtime
unset XDG_CURRENT_DESKTOP DESKTOP_SESSION DBUS_SESSION_BUS_ADDRESS WAYLAND_DISPLAY
export LC_ALL=C.UTF-8
# In a sanitizer build, leaks count too, except one block that libdbus keeps for good.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
printf 'leak:libdbus-1.so\n' >"$T/lsan.supp"
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$T/lsan.supp:print_suppressions=0}
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME/applications" "$XDG_CACHE_HOME" "$T/prog"
mkdir -m 700 "$XDG_RUNTIME_DIR"

cat >"$T/aim-recorder.sh" <<EOF
#!/usr/bin/env bash
printf '%s\0' "\$1" >>'$HANDLER_LOG'
date +%s.%N >>'$HANDLER_TIMES'
EOF
chmod +x "$T/aim-recorder.sh"
cat >"$XDG_DATA_HOME/applications/aim-recorder.desktop" <<EOF
[Desktop Entry]
Type=Application
Name=AIM recorder
Exec=$T/aim-recorder.sh %u
MimeType=x-scheme-handler/aim;
NoDisplay=true
EOF
printf '[Default Applications]\nx-scheme-handler/aim=aim-recorder.desktop\n' \
    >"$XDG_CONFIG_HOME/mimeapps.list"
: >"$HANDLER_LOG"
: >"$HANDLER_TIMES"

# The program's folder: a writable copy of the binary with prepared settings and list.
PROG=$T/prog
cp "$BINARY" "$PROG/pellory"
# Non-ASCII text comes from the prepared list: typing it through xdotool's temporary key
# mappings is not reliable.
PREPARED_MESSAGE='Gone fishing; back "soon" — café'
printf '%s\r\n' '; Pellory end-to-end test' '[Main]' 'Load/Save=1' 'FontTags=0' 'PlaySound=0' \
    '' '[Other]' 'Load/Save=keep' >"$PROG/Config.ini"
printf '%s\r\n' "$PREPARED_MESSAGE" >"$PROG/RandomMsgs.lst"

# ---- Window manager and notification area ----
STEP="starting openbox"
openbox >"$T/openbox.log" 2>&1 &
PIDS+=($!)
OPENBOX_PID=$!
wm_running() {
    kill -0 "$OPENBOX_PID" 2>/dev/null || fail "openbox ended at start-up"
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'
}
wait_for 20 "openbox to manage the screen" wm_running

STEP="starting trayer"
trayer --edge bottom --align right --widthtype request --height 24 >"$T/trayer.log" 2>&1 &
PIDS+=($!)
PANEL=$(timeout 20 xdotool search --sync --name '^panel$' | head -n1) || fail "no trayer panel"
log "openbox and trayer are up"

# ---- The program ----
STEP="starting pellory"
(cd "$T" && exec "$PROG/pellory" >"$T/pellory.log" 2>&1) &
PELLORY_PID=$!
PIDS+=("$PELLORY_PID")
WIN=$(timeout 60 xdotool search --sync --onlyvisible --name '^Pellory 100 - Zandrik$' | head -n1) ||
    fail "the main window did not appear"
timeout 20 xdotool windowactivate --sync "$WIN" >/dev/null 2>&1 || fail "could not activate the window"
log "window $WIN is up"

# Where the window's client area is on the screen.
WX=0
WY=0
locate_window() {
    local info
    info=$(xwininfo -id "$WIN")
    WX=$(awk '/Absolute upper-left X/ {print $4}' <<<"$info")
    WY=$(awk '/Absolute upper-left Y/ {print $4}' <<<"$info")
}
client_size() { xwininfo -id "$WIN" | awk '/^ +Width:/ {w=$2} /^ +Height:/ {h=$2} END {print w "x" h}'; }

STEP="checking the client size"
locate_window
size=$(client_size)
[[ $size == 366x201 ]] || fail "client area is $size, expected 366x201"
# Centred on the 1024x768 screen (less the panel and the title bar, vertically).
((WX + 183 >= 508 && WX + 183 <= 516 && WY + 100 >= 354 && WY + 100 <= 414)) ||
    fail "window is not centred: client area at $WX,$WY"

# Clicks in window client coordinates; the tab control's pages start at (8,8).
click_client() { xdotool mousemove --sync $((WX + $1)) $((WY + $2)) click 1; }
click_page() { click_client $((8 + $1)) $((8 + $2)); }
# Four equal tabs of about 88 px in the row at y 158..184 of the tab control.
click_tab() { click_client $((8 + 88 * $1 + 44)) $((8 + 171)); }

# The grey level (0-255) of one pixel of the window's client area, from the screen itself.
pixel_grey() {
    import -window "$WIN" -crop "1x1+$1+$2" -colorspace Gray -depth 8 txt:- |
        awk -F'[()]' 'NR == 2 {split($2, v, ","); print v[1]}'
}
# An option button is selected when the middle of its 13-pixel round indicator is dark.
option_selected() { (($(pixel_grey $((8 + $1 + 7)) $((8 + $2 + 8))) < 128)); }

screenshot() {
    sleep 0.3 # let the last click repaint
    import -window "$WIN" "$ART/$1.png"
}

# The handler log as an array of commands.
COMMANDS=()
read_commands() { mapfile -d '' -t COMMANDS <"$HANDLER_LOG"; }
command_count() { tr -cd '\0' <"$HANDLER_LOG" | wc -c; }
have_commands() { (($(command_count) >= $1)); }
command_time() { sed -n "$1p" "$HANDLER_TIMES"; }
show_bytes() { printf '%s' "$1" | od -c | head -20; }

visible_prompt() { xdotool search --onlyvisible --name '^Pellory$' 2>/dev/null | head -n1; }

# ---- Adding messages through the real prompt ----
MSG1='<b>Back</b> at 1+1 & 100% #2'
MSG2='Out to lunch'
declare -A EXPECTED_COMMAND=(
    ["$PREPARED_MESSAGE"]='aim:goaway?message=Gone+fishing;+back+"soon"+—+café'
    ["$MSG1"]='aim:goaway?message=<b>Back</b>+at+1%2B1+%26+100%25+%232'
    ["$MSG2"]='aim:goaway?message=Out+to+lunch'
)

STEP="adding messages"
click_tab 0
click_page 272 36 # Add Message
previous=
for text in "$MSG1" "$MSG2"; do
    prompt_is_new() { PROMPT=$(visible_prompt) && [[ -n $PROMPT && $PROMPT != "$previous" ]]; }
    wait_for 20 "the message prompt" prompt_is_new
    prompt_active() { [[ $(xdotool getactivewindow 2>/dev/null) == "$PROMPT" ]]; }
    wait_for 10 "the prompt to take the keyboard" prompt_active
    xdotool type --delay 15 "$text"
    xdotool key Return
    previous=$PROMPT
done
# An empty answer or Cancel ends the loop; the prompt comes back once more first.
wait_for 20 "the prompt to come again" prompt_is_new
wait_for 10 "the prompt to take the keyboard" prompt_active
xdotool key Escape
no_prompt() { [[ -z $(visible_prompt) ]]; }
wait_for 10 "the prompt to close on Cancel" no_prompt
(($(command_count) == 0)) || fail "adding messages sent a command"
log "added two messages"

# ---- Rotation every 5 seconds ----
STEP="rotation"
option_selected 256 136 || fail "option 10 is not the one selected at start"
option_selected 216 136 && fail "option 5 is selected at start"
click_page 224 144 # option "5"
wait_for 5 "option 5 to be selected" option_selected 216 136
option_selected 256 136 && fail "option 10 is still selected after choosing 5"
screenshot page-0-away-randomization
click_time=$(now)
click_page 240 116 # Start
wait_for 10 "the first command after Start" have_commands 1
# Times are those of the handler, so each includes the opener's own start-up (up to a few
# seconds on a loaded machine); the second link cannot be sent before 5 s have passed.
first=$(calc "$(command_time 1) - $click_time")
float_between "$first" 0 4 || fail "first command came ${first}s after Start, not at once"
wait_for 15 "the second command" have_commands 2
click_page 304 116 # Stop, well before the next one is due
stop_time=$(now)
second=$(calc "$(command_time 2) - $click_time")
float_between "$second" 5 9 || fail "second command came ${second}s after Start; expected 5s"
read_commands
for i in 0 1; do
    found=0
    for message in "${!EXPECTED_COMMAND[@]}"; do
        [[ ${COMMANDS[i]} == "${EXPECTED_COMMAND[$message]}" ]] && found=1
    done
    ((found)) || { show_bytes "${COMMANDS[i]}"; fail "command $((i + 1)) is not one of the messages"; }
done
log "rotation sent '${COMMANDS[0]}' after ${first}s, then '${COMMANDS[1]}' after ${second}s"

# ---- A one-minute countdown ----
STEP="countdown"
click_tab 1
click_page 24 97 # the minutes box
xdotool key ctrl+a
xdotool type --delay 15 1
click_page 168 100 # Enable
wait_for 10 "the countdown's first command" have_commands 3
read_commands
expected=$'aim:goaway?message=I+will+be+back+in+1+minutes.\r\n'
if [[ ${COMMANDS[2]} != "$expected" ]]; then
    show_bytes "${COMMANDS[2]}"
    fail "countdown command differs from the expected one"
fi
screenshot page-1-away-count-down
click_page 244 100 # Disable

# A template of one's own, with every character that the link must escape.
click_page 160 40 # the countdown message
xdotool key ctrl+a
xdotool type --delay 15 'Back in %m min: 50% & #1+1'
xdotool key Return
click_page 168 100 # Enable
wait_for 10 "the second countdown's first command" have_commands 4
read_commands
expected=$'aim:goaway?message=Back+in+1+min:+50%25+%26+%231%2B1\r\n'
if [[ ${COMMANDS[3]} != "$expected" ]]; then
    show_bytes "${COMMANDS[3]}"
    fail "the own template's command differs from the expected one"
fi
click_page 244 100 # Disable
log "both countdowns sent their first command"

# ---- Hide in System Tray ----
STEP="ticking Hide in System Tray"
click_tab 2
click_page 200 24 # Hide in System Tray
ini_has_tray_key() { grep -q $'^HideInTray=1\r$' "$PROG/Config.ini"; }
wait_for 10 "HideInTray=1 to be written when the box is ticked" ini_has_tray_key
screenshot page-2-config

STEP="about page"
click_tab 3
screenshot page-3-about
click_tab 0

STEP="minimising to the tray"
xdotool windowminimize "$WIN"
tray_icon() {
    # The icon is a 22x22 window embedded in the panel, holding a window of the program.
    xwininfo -tree -id "$PANEL" | awk '/^ +0x[0-9a-f]+ .* 22x22\+/ {print $1; exit}'
}
icon_of_pellory() {
    local icon
    icon=$(tray_icon)
    [[ -n $icon ]] && xwininfo -tree -id "$icon" | grep -q '"pellory"'
}
window_hidden() {
    xwininfo -id "$WIN" | grep -q 'Map State: IsUnMapped' &&
        ! xprop -id "$WIN" WM_STATE 2>/dev/null | grep -q 'Iconic'
}
wait_for 15 "the window to be hidden (unmapped, not just iconic)" window_hidden
wait_for 15 "an icon in the notification area" icon_of_pellory
ICON=$(tray_icon)
read -r IX IY < <(xwininfo -id "$ICON" |
    awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4} END {print x, y}')
import -window "$ICON" "$ART/tray-icon.png"
log "hidden in the tray, icon $ICON at $IX,$IY"

STEP="restoring from the tray"
xdotool mousemove --sync $((IX + 11)) $((IY + 11)) click 1
window_back() {
    xwininfo -id "$WIN" | grep -q 'Map State: IsViewable' &&
        xprop -id "$WIN" WM_STATE | grep -q 'Normal'
}
wait_for 15 "the window to come back" window_back
icon_gone() { [[ -z $(tray_icon) ]]; }
wait_for 10 "the tray icon to go" icon_gone
[[ $(client_size) == 366x201 ]] || fail "client area changed after restoring: $(client_size)"
log "window restored, icon removed"

# No rotation command after Stop: the only ones since are the countdowns'.
stopped_for=$(elapsed_since "$stop_time")
if is_true "$stopped_for < 6"; then
    sleep "$(calc "6 - $stopped_for")"
fi
(($(command_count) == 4)) ||
    fail "$(command_count) commands reached the handler; expected 4 (did the rotation stop?)"

# ---- Closing the window ----
STEP="closing the window"
timeout 20 xdotool windowactivate --sync "$WIN" >/dev/null 2>&1 || fail "could not activate the window"
xdotool key alt+F4
exited() { ! kill -0 "$PELLORY_PID" 2>/dev/null; }
wait_for 30 "the program to end after its window was closed" exited
status=0
wait "$PELLORY_PID" || status=$?
((status == 0)) || fail "pellory exited with status $status (see pellory.log)"
if grep -qE 'AddressSanitizer|LeakSanitizer|runtime error:' "$T/pellory.log"; then
    cat "$T/pellory.log" >&2
    fail "sanitizer report in pellory's output"
fi
log "program ended"

STEP="checking the files"
printf '%s\r\n' '; Pellory end-to-end test' '[Main]' 'Load/Save=1' 'FontTags=0' 'PlaySound=0' \
    'HideInTray=1' 'FontFace=0' 'FontSize=0' '' '[Other]' 'Load/Save=keep' >"$T/expected-Config.ini"
printf '%s\r\n' "$PREPARED_MESSAGE" "$MSG1" "$MSG2" >"$T/expected-RandomMsgs.lst"
files_ok=1
for file in Config.ini RandomMsgs.lst; do
    if ! cmp -s "$T/expected-$file" "$PROG/$file"; then
        files_ok=0
        echo "--- expected $file" >&2
        od -c "$T/expected-$file" >&2
        echo "--- actual $file" >&2
        od -c "$PROG/$file" >&2 || true
    fi
done
((files_ok)) || fail "files differ from what closing the window should leave"

log "all checks passed"
