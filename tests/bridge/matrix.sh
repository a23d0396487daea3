#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# pellory-aim-bridge against a private Synapse homeserver: a login with --matrix-login, then
# the presence as a second account in a shared room reads it; a revoked token and a frozen
# homeserver, each told in one line within 2 s. Before it, a lying homeserver of our own.
# Usage: matrix.sh BRIDGE THIRD_PARTY_DIR CACHE_DIR
set -uo pipefail
source "$(dirname "$0")/../support/session.sh"
source "$(dirname "$0")/../support/matrix.sh"
need dbus-run-session python3 strace
private_session dbus-run-session -- bash "$0" "$@"
BRIDGE=$1
isolated_home
LOGIN=$XDG_CONFIG_HOME/pellory/matrix-login.json
# A homeserver that lies: a redirect, an endless answer, another account's login, escapes.
FAKE=http://127.0.0.1:$(free_port)
/usr/bin/python3 - "${FAKE##*:}" "$T/fake.log" <<'PY' & PIDS+=($!)
import http.server, json, sys
class Liar(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    def log_message(self, *_): pass
    def answer(self):
        self.rfile.read(int(self.headers.get("Content-Length") or 0))
        mode, sent = self.path.split("/")[1], 0
        with open(sys.argv[2], "a") as log: print(self.command, self.path, file=log, flush=True)
        if mode == "redirect":
            self.send_response(307); self.send_header("Location", "/redirected" + self.path); self.send_header("Content-Length", "0"); self.end_headers(); return
        if mode == "endless":
            self.send_response(200); self.send_header("Transfer-Encoding", "chunked"); self.end_headers()
            try:
                while sent < 2**31: self.wfile.write(b"10000\r\n" + b" " * 65536 + b"\r\n"); sent += 65536
            except OSError:
                with open(sys.argv[2], "a") as log: print("sent", sent, file=log, flush=True)
            return
        user = "@alice:localhost" if mode == "alice" else "@mallory:localhost\x1b]0;owned\x07"
        body = json.dumps({"user_id": user, "device_id": "D\x1b[2J", "access_token": mode}).encode()
        self.send_response(200); self.send_header("Content-Length", str(len(body))); self.end_headers(); self.wfile.write(body)
    do_GET = do_PUT = do_POST = answer
http.server.ThreadingHTTPServer(("127.0.0.1", int(sys.argv[1])), Liar).serve_forever()
PY
wait_for 10 "the lying homeserver" bash -c "exec 3<>/dev/tcp/127.0.0.1/${FAKE##*:}" 2>/dev/null
login_to() { echo pw | timeout 40 ${STRACE:-} "$BRIDGE" --matrix-login "$1" @alice:localhost >"$T/out" 2>&1; STATUS=$?; }
login_to http://127.0.0.256:8448
((STATUS == 2)) && grep -q '^pellory-aim-bridge: http://127.0.0.256:8448: only https://' "$T/out" || fail "a name that looks like 127.x: $(cat "$T/out")"
login_to "$FAKE/mallory"
((STATUS == 1)) && grep -q "says the login is @mallory" "$T/out" && grep -qx "POST /mallory/_matrix/client/v3/logout" "$T/fake.log" &&
    [[ ! -e $LOGIN ]] || fail "another account's login: $(cat "$T/out")"
STRACE="strace -f -o $T/trace -e trace=openat,chmod,fchmod,fchmodat" login_to "$FAKE/alice" && [[ -s $LOGIN ]] || fail "a login: $(cat "$T/out")"
grep -qE 'matrix-login\.json\.pellory-save-[[:alnum:]]{6}", O_WRONLY\|O_CREAT\|O_EXCL\|O_CLOEXEC, 0600\)' "$T/trace" &&
    ! grep -E 'chmod.*, 0[0-7]*[1-7][0-7]?\)' "$T/trace" | grep -vE ', 0[67]00\)' || fail "the login file is not private from the start: $(grep -F matrix-login "$T/trace")"
! grep -q $'\x1b' "$T/out" || fail "the homeserver's escapes reached the terminal: $(od -c "$T/out")"
for mode in redirect endless; do
    sed -i "s|$FAKE/[a-z]*|$FAKE/$mode|" "$LOGIN"
    LINES=$(/usr/bin/time -f %M -o "$T/kib" timeout 10 "$BRIDGE" 'aim:goaway?message=x' 2>&1 >/dev/null)
    [[ $LINES == "pellory-aim-bridge: Matrix account @alice:localhost on $FAKE/$mode: the homeserver"* ]] || fail "$mode: $LINES"
done
! grep -q "redirected" "$T/fake.log" || fail "a redirect was followed"
(($(tail -n 1 "$T/kib") < 65536)) && [[ $LINES == *"larger than 64 KiB"* ]] || fail "an endless answer: $(tail -n 1 "$T/kib") KiB, $LINES"
echo "an endless answer cut off: $(tail -n 1 "$T/kib") KiB at most, $(grep -o '[0-9]*$' <<<"$(grep sent "$T/fake.log")") bytes sent"
rm "$LOGIN"
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

sets() { # URL TEXT: the status message Bob then reads of Alice
    run_bridge "$1"
    local read=$(matrix_api GET /_matrix/client/v3/presence/@alice:localhost/status "$BOB")
    ((STATUS == 0)) && [[ -z $LINES && $read == *'"status_msg":"'"$2"'"'* ]] || fail "$1: status $STATUS, $LINES, Bob reads $read"
}
fails_with() { # WHAT TEXT: one line that holds TEXT and not the token, a non-zero status, within 2 s
    run_bridge 'aim:goaway?message=x'
    ((STATUS != 0 && MS < 2000)) && [[ $LINES == *"$2"* && $LINES != *$'\n'* && $LINES != *"$ALICE"* ]] || fail "$1: status $STATUS, $MS ms, $LINES"
}
sets "$GONE" 'Gone fishing & back soon'
checks "Matrix: logged in as @alice:localhost on $SYNAPSE_URL, the login file private; the token works"
cp -p "$LOGIN" "$T/ended"
"$BRIDGE" --matrix-logout >/dev/null && [[ ! -e $LOGIN ]] || fail "--matrix-logout"
cp -p "$T/ended" "$LOGIN"
fails_with "a revoked token" "(M_UNKNOWN_TOKEN); run pellory-aim-bridge --matrix-login again"
! "$BRIDGE" --check >"$T/check" && grep -q "^Matrix: .*(M_UNKNOWN_TOKEN)" "$T/check" || fail "--check with a revoked token: $(cat "$T/check")"
matrix_token alice alice-pw | "$BRIDGE" --matrix-token "$SYNAPSE_URL" @alice:localhost >/dev/null || fail "--matrix-token"
sets 'aim:goaway?message=By+token' 'By token'
run_bridge --back && ((STATUS == 0)) && [[ -z $LINES ]] || fail "--back: $LINES"
matrix_api GET /_matrix/client/v3/presence/@alice:localhost/status "$BOB" |
    python3 -c 'import json, sys; p = json.load(sys.stdin); sys.exit(p["presence"] != "online" or bool(p.get("status_msg")))' ||
    fail "Bob does not see Alice back"
kill -STOP "$SYNAPSE_PID"
fails_with "a frozen homeserver" "no answer from the homeserver in time"
echo "all checks passed"
