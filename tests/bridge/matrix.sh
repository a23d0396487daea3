#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# pellory-aim-bridge against a private Synapse homeserver: a login with --matrix-login, then
# the presence as a second account in a shared room reads it; a login file others can read,
# a revoked token, a frozen and a stopped homeserver, each told in one line within 2 s.
# Usage: matrix.sh BRIDGE THIRD_PARTY_DIR CACHE_DIR
set -uo pipefail
source "$(dirname "$0")/../support/session.sh"
source "$(dirname "$0")/../support/matrix.sh"
need dbus-run-session python3
private_session dbus-run-session -- bash "$0" "$@"
BRIDGE=$1
GONE='aim:goaway?message=Gone+fishing+%26+back+%3Cb%3Esoon%3C%2Fb%3E' # as in the IRC test
isolated_home
LOGIN=$XDG_CONFIG_HOME/pellory/matrix-login.json
start_synapse "$2" "$3"
synapse_user alice alice-pw
synapse_user bob bob-pw
BOB=$(matrix_token bob bob-pw)
echo alice-pw | "$BRIDGE" --matrix-login "$SYNAPSE_URL/" @alice:localhost >"$T/login" 2>&1 || fail "login: $(cat "$T/login")"
ALICE=$(python3 -c 'import json, sys; print(json.load(open(sys.argv[1]))["access_token"])' "$LOGIN")
[[ $(stat -c %a "${LOGIN%/*}" "$LOGIN") == $'700\n600' ]] && ! grep -qF "$ALICE" "$T/login" || fail "login: $(cat "$T/login")"
# Ctrl-C at the password prompt ends the login and gives the terminal its echo back.
python3 - "$BRIDGE" "$SYNAPSE_URL" <<'PY' || fail "Ctrl-C at the password prompt"
import os, pty, sys, termios, time
pid, terminal = pty.fork()
if pid == 0: os.execv(sys.argv[1], [sys.argv[1], "--matrix-login", sys.argv[2], "@alice:localhost"])
echo = lambda: termios.tcgetattr(terminal)[3] & termios.ECHO
end = time.time() + 10
while echo() and time.time() < end: time.sleep(0.01)
hidden = not echo()
os.write(terminal, b"\x03")
ended = os.waitid(os.P_PID, pid, os.WEXITED)
sys.exit(0 if hidden and ended.si_code == os.CLD_KILLED and echo() else 1)
PY
ROOM=$(matrix_api POST /_matrix/client/v3/createRoom "$BOB" '{"invite":["@alice:localhost"]}' | python3 -c 'import json, sys; print(json.load(sys.stdin)["room_id"])')
matrix_api POST "/_matrix/client/v3/join/$ROOM" "$ALICE" '{}' >/dev/null || fail "Alice does not join Bob's room"

bridge() { # URL: as xdg-open calls the handler; sets STATUS, MS and LINES (its standard error)
    local start=$(date +%s%N)
    LINES=$(timeout 10 "$BRIDGE" "$1" 2>&1 >/dev/null)
    STATUS=$? MS=$((($(date +%s%N) - start) / 1000000))
}
sets() { # URL TEXT: the status message Bob then reads of Alice
    bridge "$1"
    local read=$(matrix_api GET /_matrix/client/v3/presence/@alice:localhost/status "$BOB")
    ((STATUS == 0)) && [[ -z $LINES && $read == *'"status_msg":"'"$2"'"'* ]] || fail "$1: status $STATUS, $LINES, Bob reads $read"
}
fails_with() { # WHAT TEXT: one line that holds TEXT and not the token, a non-zero status, within 2 s
    bridge 'aim:goaway?message=x'
    ((STATUS != 0 && MS < 2000)) && [[ $LINES == *"$2"* && $LINES != *$'\n'* && $LINES != *"$ALICE"* ]] || fail "$1: status $STATUS, $MS ms, $LINES"
}
sets "$GONE" 'Gone fishing & back soon'
chmod 644 "$LOGIN"
fails_with "a login file others can read" "mode 0644 lets other users read or change the token"
chmod 600 "$LOGIN"
cp -p "$LOGIN" "$T/ended"
"$BRIDGE" --matrix-logout >/dev/null && [[ ! -e $LOGIN ]] || fail "--matrix-logout"
cp -p "$T/ended" "$LOGIN"
fails_with "a revoked token" "(M_UNKNOWN_TOKEN); run pellory-aim-bridge --matrix-login again"
matrix_token alice alice-pw | "$BRIDGE" --matrix-token "$SYNAPSE_URL" @alice:localhost >/dev/null || fail "--matrix-token"
sets 'aim:goaway?message=By+token' 'By token'
kill -STOP "$SYNAPSE_PID"
fails_with "a frozen homeserver" "no answer from the homeserver in time"
kill -KILL "$SYNAPSE_PID" && wait "$SYNAPSE_PID" 2>/dev/null
fails_with "a stopped homeserver" "cannot reach the homeserver: Connection refused"
echo "all checks passed"
