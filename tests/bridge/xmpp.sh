#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# pellory-aim-bridge against the XMPP clients on a private Prosody: Finch, Gajim and mcabber,
# each logged in as its own account, and a watcher subscribed to all three that must see the
# away text of each. Gajim refuses root, so the whole test runs as nobody.
# Usage: xmpp.sh BRIDGE
set -uo pipefail
source "$(dirname "$0")/../support/session.sh"
need prosody finch gajim mcabber psi tmux dbus-run-session runuser Xvfb dunst dunstctl
/usr/bin/python3 -c 'import slixmpp' 2>/dev/null || need python3-slixmpp
private_session runuser -u nobody -- dbus-run-session -- bash "$0" "$@"
isolated_home
PORT=$(free_port) DATA=$T/prosody CLIENTS=(finchy gajimy mcabby psione psitwo) # Psi: two accounts
mkdir -p "$DATA/localhost/accounts" "$DATA/localhost/roster" "$T/certs" "$HOME/.purple" "$HOME/.mcabber"
printf '%s\n' 'daemonize = false' "pidfile = '$T/prosody.pid'" "data_path = '$DATA'" "certificates = '$T/certs'" \
    'interfaces = { "127.0.0.1" }' "c2s_ports = { $PORT }" 's2s_ports = {}' 'http_ports = {}' 'https_ports = {}' \
    'modules_enabled = { "roster"; "saslauth"; "disco"; "ping"; "posix" }' 'modules_disabled = { "s2s"; "tls" }' \
    'c2s_require_encryption = false' 'allow_unencrypted_plain_auth = true' 'authentication = "internal_plain"' \
    'log = { error = "*stderr" }' 'VirtualHost "localhost"' >"$T/prosody.cfg.lua"
both() { printf '["%s@localhost"] = { subscription = "both"; groups = {} };' "$@"; }
for user in watcher "${CLIENTS[@]}"; do
    echo 'return { password = "pw" }' >"$DATA/localhost/accounts/$user.dat"
    [[ $user == watcher ]] && contacts=$(both "${CLIENTS[@]}") || contacts=$(both watcher)
    echo "return { [false] = { version = 1; pending = {} }; $contacts }" >"$DATA/localhost/roster/$user.dat"
done
prosody --config "$T/prosody.cfg.lua" >/dev/null & PIDS+=($!)
wait_for 10 "Prosody" bash -c "exec 3<>/dev/tcp/127.0.0.1/$PORT" 2>/dev/null
# The watcher prints the bare address and status text of every presence it receives.
/usr/bin/python3 - "$PORT" >"$T/seen" 2>/dev/null <<'PY' & PIDS+=($!)
import slixmpp, sys
watcher = slixmpp.ClientXMPP("watcher@localhost", "pw")
watcher.add_event_handler("session_start", lambda _: watcher.send_presence())
watcher.add_event_handler("presence", lambda p: print(p["from"].bare, p["type"], p["status"], flush=True))
watcher.connect(("127.0.0.1", int(sys.argv[1])), disable_starttls=True, force_starttls=False)
watcher.process()
PY
setting() { printf "<setting name='%s' type='%s'>%s</setting>" "$@"; }
printf "<account version='1.0'><account><protocol>prpl-jabber</protocol><name>finchy@localhost/finch</name><password>pw</password>%s%s</account></account>" \
    "<settings>$(setting connect_server string 127.0.0.1)$(setting port int "$PORT")$(setting connection_security string opportunistic_tls)$(setting auth_plain_in_clear bool 1)</settings>" \
    "<settings ui='gnt-purple'>$(setting auto-login bool 1)</settings>" >"$HOME/.purple/accounts.xml"
in_terminal finch finch
printf '%s\n' 'set jid = mcabby@localhost' 'set password = pw' 'set server = 127.0.0.1' "set port = $PORT" 'set tls = 0' \
    'set resource = mcabber' 'module load fifo' "set fifo_name = $T/where-its-config-says" >"$HOME/.mcabber/mcabberrc"
in_terminal mcabber mcabber
# Gajim's settings: its remote control on, and one account.
mkdir -p "$XDG_CONFIG_HOME/gajim" && /usr/bin/python3 - "$XDG_CONFIG_HOME/gajim/settings.sqlite" 2>/dev/null <<PY
import sqlite3, sys; from gajim.common.settings import CREATE_SQL
db = sqlite3.connect(sys.argv[1]); db.executescript(CREATE_SQL)
db.execute("""UPDATE settings SET settings = '{"remote_control": true, "use_keyring": false}' WHERE name = 'app'""")
db.execute("""INSERT INTO account_settings VALUES ('gajimy', '{"contact": {}, "group_chat": {}, "account": {"name": "gajimy",
    "hostname": "localhost", "password": "pw", "resource": "gajim", "active": true, "use_custom_host": true, "custom_host":
    "127.0.0.1", "custom_port": $PORT, "custom_type": "PLAIN", "use_plain_connection": true, "confirm_unencrypted_connection": false}}')""")
db.commit()
PY
# Psi's two accounts, their passwords kept as Psi keeps them (each UTF-16 unit XOR the JID's).
psi_account() { # N NAME
    local password=$(/usr/bin/python3 -c 'import sys; j = sys.argv[1]; print("".join("%04x" % (ord(c) ^ ord(j[i % len(j)])) for i, c in enumerate("pw")))' "$2@localhost")
    printf '<a%s><enabled type="bool">true</enabled><auto type="bool">true</auto><name type="QString">%s</name><jid type="QString">%s@localhost</jid>' "$1" "$2" "$2"
    printf '<password type="QString">%s</password><use-host type="bool">true</use-host><host type="QString">127.0.0.1</host><port type="int">%s</port>' "$password" "$PORT"
    printf '<ssl type="QString">no</ssl><allow-plain type="QString">always</allow-plain><resource type="QString">psi</resource><ignore-global-actions type="bool">false</ignore-global-actions></a%s>' "$1"
}
mkdir -p "$XDG_CONFIG_HOME/psi/profiles/default"
echo "<accounts xmlns=\"http://psi-im.org/options\"><accounts>$(psi_account 0 psione)$(psi_account 1 psitwo)</accounts></accounts>" >"$XDG_CONFIG_HOME/psi/profiles/default/accounts.xml"
echo '<psi xmlns="http://psi-im.org/options"><options><keychain><enabled type="bool">false</enabled></keychain><ui><tip><show type="bool">false</show></tip></ui></options></psi>' >"$XDG_CONFIG_HOME/psi/profiles/default/options.xml"
start_xvfb && start_dunst
psi >"$T/psi.log" 2>&1 & PIDS+=($!)
remote_control() { dbus-send --session --dest=org.gajim.Gajim --print-reply /org/gajim/dbus/RemoteObject \
    org.gajim.dbus.RemoteInterface.list_accounts >/dev/null 2>&1; }
NO_AT_BRIDGE=1 gajim >/dev/null 2>&1 & GAJIM=$! PIDS+=($!)
wait_for 20 "Gajim's remote control" remote_control
seen() { grep -q "^$1@localhost $2$" "$T/seen"; } # CLIENT PRESENCE: the watcher saw it
for client in "${CLIENTS[@]}"; do wait_for 60 "$client online" seen $client 'available '; done

BRIDGE=$1 && run_bridge "$GONE" && echo "the bridge took $MS ms"
((STATUS == 0 && MS < 2000)) && [[ -z $LINES ]] || fail "the bridge: status $STATUS, $MS ms, $LINES"
for client in "${CLIENTS[@]}"; do wait_for 10 "the away text from $client" seen $client 'away Gone fishing & back soon'; done
checks "Gajim: running; takes messages" "mcabber: running; takes messages" "Pidgin or Finch: running; takes messages" \
    "Psi: running; takes messages (1 profiles)"
# --back: each account available again, without a text.
AWAY_LINES=$(wc -l <"$T/seen") && run_bridge --back && ((STATUS == 0)) && [[ -z $LINES ]] || fail "--back: $LINES"
back() { tail -n +"$((AWAY_LINES + 1))" "$T/seen" | grep -q "^$1@localhost available $"; }
for client in "${CLIENTS[@]}"; do wait_for 10 "$client back: $(tail -n 3 "$T/seen")" back $client; done

# Gajim again with its remote control off, on, off: told once while it lasts, and once more
# when it comes back.
gajim_with_remote_control() { # true|false
    kill "$GAJIM" && wait "$GAJIM" 2>/dev/null
    /usr/bin/python3 -c 'import sqlite3, sys; db = sqlite3.connect(sys.argv[1]); db.execute("UPDATE settings SET settings = json_set(settings, ?, json(?)) WHERE name = ?", ("$.remote_control", sys.argv[2], "app")); db.commit()' \
        "$XDG_CONFIG_HOME/gajim/settings.sqlite" "$1"
    NO_AT_BRIDGE=1 gajim >/dev/null 2>&1 & GAJIM=$! PIDS+=($!)
    wait_for 30 "Gajim on the bus" eval 'dbus-send --session --dest=org.freedesktop.DBus --print-reply /org/freedesktop/DBus org.freedesktop.DBus.NameHasOwner string:org.gajim.Gajim | grep -q true'
}
gajim_with_remote_control false
for link in $(seq 11); do ends_in_time 0 1 "Gajim without its remote control" "$GONE"; done
[[ $LINES == *remote_control* ]] && (($(told remote_control) == 1)) || fail "told $(told remote_control) times: $LINES"
"$BRIDGE" --check | grep -qx "Gajim: running, but its remote control is off: .*" || fail "--check with Gajim's remote control off"
gajim_with_remote_control true && wait_for 20 "Gajim's remote control" remote_control
ends_in_time 0 0 "Gajim with its remote control" "$GONE"
gajim_with_remote_control false && ends_in_time 0 1 "Gajim without its remote control again" "$GONE"
(($(told remote_control) == 2)) || fail "a cause that came back was told $(told remote_control) times in all"
echo "all checks passed"
