#!/usr/bin/env bash
# The real program on a real X server with a window manager, a notification area and the
# real xdg-open, worked with mouse and keys through xdotool as a person would. Checks what
# reaches a recording aim: handler and what lands on disk. Leaves screenshots of the four
# pages in ARTEFACT_DIR.
# Usage: e2e.sh PELLORY_BINARY ARTEFACT_DIR
set -euo pipefail
source "$(dirname "$0")/../support/session.sh"
need Xvfb openbox trayer xdotool xwininfo xprop import xdg-open
ART=$2
mkdir -p "$ART"

isolated_home
unset DBUS_SESSION_BUS_ADDRESS
LOG=$T/links
record_aim_links "$LOG"
PROG=$T/prog
mkdir "$PROG"
cp "$1" "$PROG/pellory"
# Non-ASCII text comes from the list file: xdotool can't type it reliably.
PREPARED='Gone fishing; back "soon" — café'
printf '%s\r\n' '; kept' '[Main]' 'Load/Save=1' '' '[Other]' 'Load/Save=keep' >"$PROG/Config.ini"
printf '%s\r\n' "$PREPARED" >"$PROG/RandomMsgs.lst"

start_xvfb
openbox >/dev/null 2>&1 &
PIDS+=($!)
wait_for 20 "openbox" sh -c "xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'"
trayer --edge bottom --align right --widthtype request --height 24 >/dev/null 2>&1 &
PIDS+=($!)
PANEL=$(timeout 20 xdotool search --sync --name '^panel$' | head -n1)

# In a sanitizer build leaks count too, but for a block libdbus keeps for good.
printf 'leak:libdbus-1.so\n' >"$T/lsan.supp"
export ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=suppressions=$T/lsan.supp:print_suppressions=0
start_pellory() {
    "$PROG/pellory" >"$T/pellory.log" 2>&1 &
    PELLORY=$!
    PIDS+=("$PELLORY")
    WIN=$(timeout 60 xdotool search --sync --onlyvisible --name '^Pellory 100 - Zandrik$' | head -n1)
    timeout 20 xdotool windowactivate --sync "$WIN" >/dev/null 2>&1
    eval "$(xwininfo -id "$WIN" | awk '/Absolute upper-left X/ {print "WX=" $4} /Absolute upper-left Y/ {print "WY=" $4}')"
}
ended_cleanly() { # the program has ended with status 0 and no sanitizer report
    local status=0
    wait_for 30 "the program to end" sh -c "! kill -0 $PELLORY 2>/dev/null"
    wait "$PELLORY" || status=$?
    ((status == 0)) || fail "pellory ended with status $status: $(cat "$T/pellory.log")"
    ! grep -qE 'AddressSanitizer|LeakSanitizer|runtime error:' "$T/pellory.log" ||
        fail "sanitizer report: $(cat "$T/pellory.log")"
}
start_pellory
[[ $(xwininfo -id "$WIN" | awk '/^ +Width:/ {w=$2} /^ +Height:/ {h=$2} END {print w "x" h}') == 366x201 ]] ||
    fail "the window's client area is not 366x201"

# Clicks in page coordinates: the pages start at (8,8); four tabs of 88 px at y 179.
click_page() { xdotool mousemove --sync $((WX + 8 + $1)) $((WY + 8 + $2)) click 1; }
click_tab() { click_page $((88 * $1 + 44)) 171; }
links() { tr -cd '\0' <"$LOG" | wc -c; }
has_links() { (($(links) >= $1)); }
read_links() { mapfile -d '' -t LINKS <"$LOG"; }
screenshot() { sleep 0.3; import -window "$WIN" "$ART/$1.png"; }
prompt() { xdotool search --onlyvisible --name '^Pellory$' 2>/dev/null | head -n1; }

# Adding through the prompt, which comes back until Cancel.
MSG1='<b>Back</b> at 1+1 & 100% #2'
MSG2='Out $(touch pwned) `touch pwned`'
click_page 272 36
previous=
new_prompt() { local id; id=$(prompt); [[ -n $id && $id != "$previous" && $(xdotool getactivewindow) == "$id" ]]; }
for text in "$MSG1" "$MSG2" ""; do
    wait_for 20 "a new prompt with the keyboard" new_prompt
    previous=$(prompt)
    if [[ -n $text ]]; then
        xdotool type --delay 15 "$text"
        xdotool key Return
    else
        xdotool key Escape
    fi
done
no_prompt() { [[ -z $(prompt) ]]; }
wait_for 10 "the prompt to close on Cancel" no_prompt

# The rotation every 5 seconds: one link at once, the next after 5 s, none after Stop.
declare -A SENT=(["aim:goaway?message=Gone+fishing;+back+\"soon\"+—+café"]=1
    ['aim:goaway?message=<b>Back</b>+at+1%2B1+%26+100%25+%232']=1
    ['aim:goaway?message=Out+$(touch+pwned)+`touch+pwned`']=1)
click_page 224 144
screenshot page-0-away-randomization
click_page 240 116
started=$SECONDS
wait_for 5 "the first link" has_links 1
wait_for 15 "the second link" has_links 2
click_page 304 116
stopped=$SECONDS
((SECONDS - started >= 4)) || fail "the second link came before 5 s"
read_links
for i in 0 1; do [[ -n ${SENT[${LINKS[i]}]:-} ]] || fail "link $i is no message: ${LINKS[i]}"; done

# The countdown's first message, with the minutes typed.
click_tab 1
click_page 24 97
xdotool key ctrl+a type 1
click_page 168 100
wait_for 10 "the countdown's link" has_links 3
read_links
[[ ${LINKS[2]} == $'aim:goaway?message=I+will+be+back+in+1+minutes.\r\n' ]] ||
    fail "countdown link: $(printf '%s' "${LINKS[2]}" | od -c)"
screenshot page-1-away-count-down
click_page 244 100

# Hide in System Tray: stored at once; minimising hides behind an icon; a click restores.
click_tab 2
click_page 200 24
wait_for 10 "HideInTray=1" grep -q $'^HideInTray=1\r$' "$PROG/Config.ini"
screenshot page-2-config
click_tab 3
screenshot page-3-about
xdotool windowminimize "$WIN"
icon() { xwininfo -tree -id "$PANEL" | awk '/^ +0x[0-9a-f]+ .* 22x22\+/ {print $1; exit}'; }
iconic() { xprop -id "$WIN" WM_STATE | grep -q Iconic; }
hidden() { xwininfo -id "$WIN" | grep -q IsUnMapped && ! iconic; }
wait_for 15 "the window to hide, not just minimise" hidden
has_icon() { [[ -n $(icon) ]]; }
wait_for 15 "the tray icon" has_icon
eval "$(xwininfo -id "$(icon)" | awk '/Absolute upper-left X/ {print "IX=" $4} /Absolute upper-left Y/ {print "IY=" $4}')"
xdotool mousemove --sync $((IX + 11)) $((IY + 11)) click 1
back() { xwininfo -id "$WIN" | grep -q IsViewable && ! iconic; }
wait_for 15 "the window to come back" back
wait_for 10 "the icon to go" eval '! has_icon'
while ((SECONDS - stopped < 7)); do sleep 0.2; done
(($(links) == 3)) || fail "$(links) links were sent; Stop did not stop the rotation"
[[ ! -e $T/pwned && ! -e $PROG/pwned ]] || fail "a message ran a command"

# Closing stores both files; every line the program doesn't own stays.
timeout 20 xdotool windowactivate --sync "$WIN" key alt+F4
ended_cleanly
printf '%s\r\n' '; kept' '[Main]' 'Load/Save=1' 'HideInTray=1' 'FontTags=0' 'PlaySound=0' \
    'FontFace=0' 'FontSize=0' '' '[Other]' 'Load/Save=keep' >"$T/Config.ini"
printf '%s\r\n' "$PREPARED" "$MSG1" "$MSG2" >"$T/RandomMsgs.lst"
cmp "$T/Config.ini" "$PROG/Config.ini" || fail "Config.ini: $(od -c "$PROG/Config.ini")"
cmp "$T/RandomMsgs.lst" "$PROG/RandomMsgs.lst" || fail "RandomMsgs.lst: $(od -c "$PROG/RandomMsgs.lst")"

# SIGTERM, as a logout sends it, stores the same as a close.
sed -i '/^FontSize=/d' "$PROG/Config.ini"
start_pellory
kill -TERM "$PELLORY"
ended_cleanly
cmp "$T/Config.ini" "$PROG/Config.ini" || fail "SIGTERM did not store: $(od -c "$PROG/Config.ini")"
cmp "$T/RandomMsgs.lst" "$PROG/RandomMsgs.lst" || fail "SIGTERM changed the list"
echo "all checks passed"
