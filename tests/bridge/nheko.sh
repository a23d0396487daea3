#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# pellory-aim-bridge against a headless nheko on a private Synapse: a second account in a
# room with it reads the status message.
# Usage: nheko.sh BRIDGE THIRD_PARTY_FOLDER CACHE_FOLDER
set -uo pipefail
source "$(dirname "$0")/../support/session.sh"
need nheko dbus-run-session dbus-send
[[ -f $(dirname "$0")/../support/matrix.sh ]] || { echo "SKIP: no Matrix homeserver set-up"; exit 77; }
source "$(dirname "$0")/../support/matrix.sh"
private_session dbus-run-session -- bash "$0" "$@"
isolated_home
start_synapse "$2" "$3"
synapse_user nheko pw && synapse_user reader pw
NHEKO=$(matrix_token nheko pw) READER=$(matrix_token reader pw)
json() { /usr/bin/python3 -c "import json, sys; print(json.load(sys.stdin)['$1'])"; }
ROOM=$(matrix_api POST /_matrix/client/v3/createRoom "$NHEKO" '{"invite": ["@reader:localhost"]}' | json room_id)
matrix_api POST "/_matrix/client/v3/join/$ROOM" "$READER" '{}' >/dev/null
mkdir -p "$XDG_CONFIG_HOME/nheko"
printf '%s\n' '[General]' 'run_without_secure_secrets_service=true' '[user]' 'expose_dbus_api=true' '[auth]' \
    "access_token=$NHEKO" "device_id=$(matrix_api GET /_matrix/client/v3/account/whoami "$NHEKO" | json device_id)" \
    "home_server=$SYNAPSE_URL" 'user_id=@nheko:localhost' >"$XDG_CONFIG_HOME/nheko/nheko.conf"
fail() { tail -n 15 "$T/nheko.log" >&2; echo "FAIL: $*" >&2; exit 1; }
# nheko offers its D-Bus object only when it restores its rooms from its cache, which a start
# that ends soon after its first sync may not have stored: started again until it does.
headless_nheko() { QT_QPA_PLATFORM=offscreen QT_QUICK_BACKEND=software nheko >"$T/nheko.log" 2>&1 & NHEKO_PID=$! PIDS+=($!); }
on_bus() { dbus-send --session --print-reply --dest=im.nheko.Nheko / org.freedesktop.DBus.Introspectable.Introspect 2>/dev/null | grep -q setStatusMessage; }
synced_or_on_bus() { grep -q "initial sync completed" "$T/nheko.log" || on_bus; }
for start in 1 2 3 4 5; do
    headless_nheko && wait_for 60 "nheko to sync or to restore its cache" synced_or_on_bus
    on_bus && break
    sleep "$start" && kill $NHEKO_PID && wait $NHEKO_PID # it stores the sync after logging it
done
on_bus || fail "nheko on D-Bus after $start starts"
BRIDGE=$1 && run_bridge "$GONE"
((STATUS == 0)) && [[ -z $LINES ]] || fail "the bridge: $LINES"
status() { [[ $(matrix_api GET /_matrix/client/v3/presence/@nheko:localhost/status "$READER" | json status_msg) == "$1" ]]; }
wait_for 10 "nheko's status message" status 'Gone fishing & back soon'
checks "nheko: running; takes messages"
run_bridge --back && wait_for 10 "nheko's status message gone" status ''
echo "all checks passed"
