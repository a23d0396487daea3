#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The real program on a real X server with a window manager, a notification area and the
# real xdg-open, worked with mouse and keys through xdotool as a person would. Checks what
# reaches a recording aim: handler and what lands on disk, first in everyday use, then where
# things go wrong around it. Leaves screenshots of the four pages in ARTEFACT_DIR.
# Usage: e2e.sh PELLORY_BINARY ARTEFACT_DIR
set -euo pipefail
source "$(dirname "$0")/../support/session.sh"
need Xvfb openbox trayer xdotool xwininfo xprop xclip import xdg-open setpriv
BINARY=$1 ART=$2
mkdir -p "$ART"
isolated_home
unset DBUS_SESSION_BUS_ADDRESS
LOG=$T/links
record_aim_links "$LOG"
[[ $(env -u DISPLAY "$BINARY" 2>&1; echo $?) == $'pellory: cannot connect to the display (DISPLAY is not set)\n1' ]] || fail "without a display"
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
folder() { # DIR CONFIG LIST: a program folder with a copy of the program and its two files
    mkdir -p "$1" && cp "$BINARY" "$1/pellory"
    printf "$2" >"$1/Config.ini" && printf "$3" >"$1/RandomMsgs.lst"
}
frame_centred() { # in the work area (the screen less the panel), to the pixel; sets WX, WY
    local w h e=($({ xprop -id "$WIN" _NET_FRAME_EXTENTS; xprop -root _NET_WORKAREA; } | sed 's/.*= //; s/,//g'))
    [[ ${e[*]:0:8} =~ ^[0-9\ ]+$ ]] && eval "$(xwininfo -id "$WIN" | awk '/Absolute upper-left X/ {print "WX=" $4} /Absolute upper-left Y/ {print "WY=" $4} / Width:/ {print "w=" $2} / Height:/ {print "h=" $2}')" || return 1
    (((2 * WX + w - e[0] + e[1] - 2 * e[4] - e[6]) ** 2 <= 4 && (2 * WY + h - e[2] + e[3] - 2 * e[5] - e[7]) ** 2 <= 4))
}
start_pellory() { # FOLDER: sets PELLORY, WIN and the window's place WX, WY
    "$1/pellory" >"$T/pellory.log" 2>&1 &
    PELLORY=$!
    PIDS+=("$PELLORY")
    WIN=$(timeout 60 xdotool search --sync --all --onlyvisible --pid $PELLORY --name '^Pellory 100' | head -n1)
    timeout 20 xdotool windowactivate --sync "$WIN" >/dev/null 2>&1
    wait_for 10 "the window's frame centred" frame_centred
}
ends_with() { # STATUS: the program ends with it, without a sanitizer report
    local status=0
    wait_for 30 "the program to end" eval "! kill -0 $PELLORY 2>/dev/null"
    wait "$PELLORY" || status=$?
    ((status == $1)) || fail "pellory ended with status $status: $(cat "$T/pellory.log")"
    ! grep -qE 'AddressSanitizer|LeakSanitizer|runtime error:' "$T/pellory.log" || fail "$(cat "$T/pellory.log")"
}
# Clicks in page coordinates: the pages start at (8,8); four tabs of 88 px at y 179.
click_page() { xdotool mousemove --sync $((WX + 8 + $1)) $((WY + 8 + $2)) click 1; }
click_tab() { click_page $((88 * $1 + 44)) 171; }
links() { tr -cd '\0' <"$LOG" | wc -c; }
has_links() { (($(links) >= $1)); }
read_links() { mapfile -d '' -t LINKS <"$LOG"; }
screenshot() { sleep 0.3; import -window "$WIN" "$ART/$1.png"; }
box() { xdotool search --onlyvisible --name '^Pellory$' 2>/dev/null | tail -n1; } # a prompt or notice
new_box() { local id; id=$(box); [[ -n $id && $id != "$previous" && $(xdotool getactivewindow) == "$id" ]]; }
no_box() { [[ -z $(box) ]]; }
add_messages() { # TEXT...: answers the prompt with each (PASTE: the clipboard), then Cancel
    previous=
    click_page 272 36
    for text in "$@" ""; do
        wait_for 20 "a new prompt with the keyboard" new_box
        previous=$(box)
        case $text in "") xdotool key Escape ;; PASTE) xdotool key ctrl+v Return ;; *) xdotool type --delay 15 "$text" && xdotool key Return ;; esac
    done
    wait_for 10 "the prompt to close on Cancel" no_box
}
iconic() { xprop -id "$WIN" WM_STATE | grep -q Iconic; }
hidden() { xwininfo -id "$WIN" | grep -q IsUnMapped && ! iconic; }
shown() { xwininfo -id "$WIN" | grep -q IsViewable && ! iconic; }
icon() { xwininfo -tree -id "$PANEL" | awk '/^ +0x[0-9a-f]+ .* 22x22\+/ {print $1; exit}'; }
has_icon() { [[ -n $(icon) ]]; }

# ---- Everyday use. Non-ASCII text comes from the list file: xdotool can't type it reliably.
PREPARED='Gone fishing; back "soon" — café'
MSG1='<b>Back</b> at 1+1 & 100% #2'
MSG2='Out $(touch pwned) `touch pwned`'
PROG=$T/prog
folder "$PROG" '; kept\r\n[Main]\r\nLoad/Save=0\r\n\r\n[Other]\r\nLoad/Save=keep\r\n' "$PREPARED\r\n"
start_pellory "$PROG"
add_messages "$MSG1"
# Ticking Auto Save loads the list file after the message already in the list; from then on
# the list is saved a second after the prompt's adds. A pasted text keeps its first line.
click_tab 2
click_page 20 24
click_tab 0
printf 'Line one\nLine two' | xclip -selection clipboard
add_messages "$MSG2" PASTE
printf '%s\r\n' "$MSG1" "$PREPARED" "$MSG2" 'Line one' >"$T/RandomMsgs.lst"
wait_for 5 "the list saved a second after the adds" cmp -s "$T/RandomMsgs.lst" "$PROG/RandomMsgs.lst"
# With the keyboard: select the first message, Tab to Remove Selected, Space, Space. The
# second Space finds the list, not Clear All: only the one message goes.
click_page 60 31
xdotool key Tab Tab space space
printf '%s\r\n' "$PREPARED" "$MSG2" 'Line one' >"$T/RandomMsgs.lst"
sleep 1.5 && wait_for 5 "all but the removed message saved" cmp -s "$T/RandomMsgs.lst" "$PROG/RandomMsgs.lst"

# The rotation every 5 seconds: one link at once, the next after 5 s, none after Stop.
declare -A SENT=(["aim:goaway?message=Gone+fishing;+back+\"soon\"+—+café"]=1 ['aim:goaway?message=Line+one']=1
    ['aim:goaway?message=<b>Back</b>+at+1%2B1+%26+100%25+%232']=1 ['aim:goaway?message=Out+$(touch+pwned)+`touch+pwned`']=1)
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

# The countdown's first message, with the minutes typed; Tab leaves the message box for
# Enable without typing a tab into the message.
click_tab 1
click_page 24 97
xdotool key ctrl+a && xdotool type 1
click_page 160 40
xdotool key Tab space
wait_for 10 "the countdown's link" has_links 3
read_links
[[ ${LINKS[2]} == $'aim:goaway?message=I+will+be+back+in+1+minutes.\r\n' ]] ||
    fail "countdown link: $(printf '%s' "${LINKS[2]}" | od -c)"
screenshot page-1-away-count-down
click_page 244 100

# Hide in System Tray: stored at once; minimising hides behind an icon; a click brings the
# window back, and so does a second start on the same folder, which then ends.
click_tab 2
click_page 200 24
wait_for 10 "HideInTray=1" grep -q $'^HideInTray=1\r$' "$PROG/Config.ini"
screenshot page-2-config
click_tab 3
screenshot page-3-about
xdotool windowminimize "$WIN"
wait_for 15 "the window to hide, not just minimise" hidden
wait_for 15 "the tray icon" has_icon
eval "$(xwininfo -id "$(icon)" | awk '/Absolute upper-left X/ {print "IX=" $4} /Absolute upper-left Y/ {print "IY=" $4}')"
xdotool mousemove --sync $((IX + 11)) $((IY + 11)) click 1
wait_for 15 "the window to come back" shown
wait_for 10 "the icon to go" eval '! has_icon'
xdotool windowminimize "$WIN"
wait_for 15 "the window to hide again" hidden
timeout 20 "$PROG/pellory" || fail "a second start on the same folder did not end with status 0"
wait_for 15 "the first copy to show its window" shown
MAIN=$PELLORY MAINWIN=$WIN
folder "$T/other" '' ''
start_pellory "$T/other" # a folder of its own: side by side
kill -0 "$MAIN" && kill -TERM "$PELLORY" && ends_with 0
# As a user whose second start finds no runtime folder of its own (Qt's fallback belongs to
# root): it still meets the running copy, and its refusal ends at once on SIGTERM.
install -d -m 700 -o nobody "$T/nobody-run" && install -d -o nobody "$T/nobody-tmp" && mkdir "$T/nobody-tmp/runtime-nobody"
chmod 711 "$T" && folder "$T/nobodys" '' '' && chown -R nobody "$T/nobodys"
as_nobody() { exec setpriv --reuid=nobody --regid=nogroup --clear-groups env "$@" QT_QPA_PLATFORM=offscreen TMPDIR="$T/nobody-tmp" "$T/nobodys/pellory"; }
as_nobody XDG_RUNTIME_DIR="$T/nobody-run" >"$T/nobodys.log" 2>&1 & NOBODYS=$! PIDS+=($!)
wait_for 30 "nobody's first copy" compgen -G "$T/nobody-run/pellory-*"
as_nobody -u XDG_RUNTIME_DIR 2>"$T/refused" & REFUSED=$! PIDS+=($!)
wait_for 10 "the second copy's refusal" grep -q "already runs on $T/nobodys but did not answer" "$T/refused"
kill -TERM "$REFUSED" && sleep 1
[[ ! $(ps -o stat= -p "$REFUSED") =~ ^[^Z] ]] || fail "a refused start outlived SIGTERM by a second"
status=0 && wait "$REFUSED" || status=$?
((status == 143)) || fail "the refused start ended with status $status: $(cat "$T/refused")"
kill -TERM "$NOBODYS" && wait "$NOBODYS" || fail "nobody's copy ended with status $?: $(cat "$T/nobodys.log")"
PELLORY=$MAIN WIN=$MAINWIN
while ((SECONDS - stopped < 7)); do sleep 0.2; done
(($(links) == 3)) || fail "$(links) links were sent; Stop did not stop the rotation"
[[ ! -e $T/pwned && ! -e $PROG/pwned ]] || fail "a message ran a command"

# Closing stores both files; every line the program doesn't own stays.
timeout 20 xdotool windowactivate --sync "$WIN" key alt+F4
ends_with 0
printf '%s\r\n' '; kept' '[Main]' 'Load/Save=1' 'HideInTray=1' 'FontTags=0' 'PlaySound=0' \
    'FontFace=0' 'FontSize=0' '' '[Other]' 'Load/Save=keep' >"$T/Config.ini"
cmp "$T/Config.ini" "$PROG/Config.ini" || fail "Config.ini: $(od -c "$PROG/Config.ini")"
cmp "$T/RandomMsgs.lst" "$PROG/RandomMsgs.lst" || fail "RandomMsgs.lst: $(od -c "$PROG/RandomMsgs.lst")"

# The tray icon's tip shows the last message sent on a second line; Quit in its menu stores
# and ends as a close does.
start_pellory "$PROG"
click_page 240 116
xdotool windowminimize "$WIN"
wait_for 15 "the window to hide" hidden
eval "$(xwininfo -id "$(icon)" | awk '/Absolute upper-left X/ {print "IX=" $4} /Absolute upper-left Y/ {print "IY=" $4}')"
# Qt shows a tip only after motion over the icon, so come in from outside it.
xdotool mousemove --sync 10 10 mousemove --sync $((IX + 10)) $((IY + 10)) sleep 0.2 mousemove --sync $((IX + 12)) $((IY + 12))
tip_lines() { # the tooltip's height in lines of about 13 pixels
    local w
    for w in $(xdotool search --onlyvisible --class pellory); do
        xprop -id "$w" _NET_WM_WINDOW_TYPE | grep -q TOOLTIP && xwininfo -id "$w" | awk '/Height:/ {print int($2 / 13)}'
    done
}
two_line_tip() { [[ $(tip_lines) == 2 ]]; }
wait_for 10 "a tip of two lines" two_line_tip
xdotool click 3 && sleep 0.5 && xdotool key Down Down Return
ends_with 0
cmp "$T/Config.ini" "$PROG/Config.ini" && cmp "$T/RandomMsgs.lst" "$PROG/RandomMsgs.lst" || fail "Quit stored otherwise"
echo "everyday use: all checks passed"

# ---- Where things go wrong around it.
# A full disk: the failed save is told; closing offers to try again, then to close without
# saving, and both files stay byte for byte.
full_disk() {
    folder "$T/full" '[Main]\r\nLoad/Save=1\r\n' 'old\r\n'
    cp "$T/full/Config.ini" "$T/full/RandomMsgs.lst" "$T/before/"
    head -c 32M /dev/zero >"$T/full/filler" 2>/dev/null || true
    start_pellory "$T/full"
    add_messages new
    wait_for 10 "the failed save to be told" new_box
    previous=$(box) && xdotool key Escape
    timeout 20 xdotool windowactivate --sync "$WIN" key alt+F4
    for key in Return Escape; do
        wait_for 10 "the question to try again" new_box && previous=$(box) && xdotool key $key
    done
    ends_with 0
    diff -r -x pellory -x filler "$T/before" "$T/full" || fail "a full disk changed the files"
}
mkdir "$T/full" "$T/before"
if mount -t tmpfs -o size=16m tmpfs "$T/full" 2>/dev/null; then full_disk; else echo "skipped the full disk: mounting a tmpfs needs root"; fi

# A list file with more lines than the list holds, the first 20 MB long: the window answers
# a click at once, and a save keeps the lines that were never loaded.
folder "$T/long" '[Main]\r\nLoad/Save=1\r\n' ''
{ head -c 20000000 /dev/zero | tr '\0' a && echo && seq 32767; } | sed 's/$/\r/' >"$T/long/RandomMsgs.lst"
start_pellory "$T/long"
click_page 40 30
click_page 272 60
clicked=$(date +%s%N) previous=
click_page 272 36
wait_for 5 "the prompt" new_box
(($(date +%s%N) - clicked < 1000000000)) || fail "a 20 MB message held the window a second"
xdotool type new && xdotool key Return # the list is full again: no more prompts
timeout 20 xdotool windowactivate --sync "$WIN" key alt+F4
ends_with 0
{ seq 32766 && echo new && echo 32767; } | sed 's/$/\r/' | cmp - "$T/long/RandomMsgs.lst" || fail "lines were lost"

# A read-only list: the failed save is told once; when a signal ends the program, one line on
# standard error says why, and the status is not 0.
folder "$T/ro" '[Main]\r\nLoad/Save=1\r\n' 'kept\r\n'
chmod 444 "$T/ro/RandomMsgs.lst"
start_pellory "$T/ro"
add_messages new
wait_for 10 "the failed save to be told" new_box
kill -TERM "$PELLORY"
ends_with 1
grep -qxE "pellory: Could not save $T/ro/RandomMsgs.lst: (it is read-only|Permission denied)." "$T/pellory.log" ||
    fail "$(cat "$T/pellory.log")"

# No program for aim: links: nothing goes to the web browser instead, and the user is told.
# A handler registered meanwhile receives; while it hangs, one xdg-open runs at a time.
mv "$XDG_DATA_HOME/applications/aim-recorder.desktop" "$XDG_CONFIG_HOME/mimeapps.list" "$T/"
printf '#!/bin/sh\necho "$1" >>%s\n' "$T/browser.log" >"$T/browser" && chmod +x "$T/browser"
folder "$T/rotation" '[Main]\r\nLoad/Save=1\r\n' "Away — café, don't \$(touch pwned) \`touch pwned\`\r\n"
BROWSER=$T/browser start_pellory "$T/rotation"
click_page 224 144
click_page 240 116
previous= && wait_for 10 "the missing handler to be told" new_box
printf '#!/bin/sh\nprintf "%%s\\0" "$1" >>%s\nsleep 60\n' "$T/hanging.log" >"$T/aim-recorder"
mv "$T/aim-recorder.desktop" "$XDG_DATA_HOME/applications/" && mv "$T/mimeapps.list" "$XDG_CONFIG_HOME/"
wait_for 20 "the handler registered meanwhile" test -s "$T/hanging.log"
sleep 11
[[ ! -e $T/browser.log && $(grep -lsxzF "HOME=$HOME" /dev/null $(pgrep -f 'xdg-open aim:' | sed 's|.*|/proc/&/environ|') | wc -l) == 1 && # our own
    $(tr -d '\0' <"$T/hanging.log") == "aim:goaway?message=Away+—+café,+don't+\$(touch+pwned)+\`touch+pwned\`" ]] || fail "links piled up, went to the browser or changed: $(pgrep -fa xdg-open; od -c "$T/hanging.log")"
kill -TERM "$PELLORY"
ends_with 0

# The X server goes 0.1 s after a removal, before the list's autosave: the removal is kept.
# Qt then leaves by exit(), past its own clean-up, so fontconfig's caches count as leaks.
folder "$T/lost" '[Main]\r\nLoad/Save=1\r\n' 'first\r\nsecond\r\n' && ASAN_OPTIONS=detect_leaks=0 start_pellory "$T/lost"
click_page 40 30 && click_page 272 60 && sleep 0.1 && kill "$XVFB"
ends_with 1 && [[ $(<"$T/lost/RandomMsgs.lst") == $'second\r' ]] || fail "the removal was lost: $(od -c "$T/lost/RandomMsgs.lst")"
echo "where things go wrong: all checks passed"
