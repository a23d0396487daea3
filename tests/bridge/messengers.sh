#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# pellory-aim-bridge against real messengers on a private session bus and a private IRC
# server: Finch with an IRC account, WeeChats and HexChat, checked by their D-Bus state and
# by what a third IRC connection sees of them.
# Usage: messengers.sh BRIDGE BUILD_DIR
set -uo pipefail
source "$(dirname "$0")/../support/session.sh"
need finch tmux dbus-run-session dbus-send xdg-open xdg-mime ngircd weechat-headless hexchat konversation Xvfb xdotool python3 dunst dunstctl
private_session dbus-run-session -- bash "$0" "$@"
BRIDGE=$1
SERVICE=im.pidgin.purple.PurpleService
isolated_home
purple() {
    dbus-send --session --print-reply=literal --reply-timeout=2000 --dest=$SERVICE \
        /im/pidgin/purple/PurpleObject "im.pidgin.purple.PurpleInterface.$1" "${@:2}"
}
statuses() { purple PurpleSavedstatusesGetAll | grep -c int32; }
current_message() { # the client's away message, byte for byte
    purple PurpleSavedstatusGetMessage "int32:$(purple PurpleSavedstatusGetCurrent | awk '{print $2}')" |
        tail -c +4
}
sets() { run_bridge "$1"; ((STATUS == 0)) && [[ -z $LINES && $(current_message) == "$2" ]]; }
irc() { # COMMAND...: what the server answers a third connection that sends them
    exec 3<>"/dev/tcp/127.0.0.1/$PORT" || return
    printf '%s\r\n' 'NICK looker' 'USER looker 0 * :l' "$@" QUIT >&3
    timeout 5 cat <&3 | tr -d '\r'
    exec 3<&-
}
online() { irc "WHOIS $1" | grep -q " 311 looker $1 "; }
aways() { irc "${@/#/WHOIS }" | sed -n 's/^:irc.test 301 looker \([^ ]*\) :/\1: /p'; }
away_is() { [[ $(aways "${@:2}") == "$(for nick in "${@:2}"; do echo "$nick: $1"; done)" ]]; }
shows_away() { wait_for 30 "'$1' as the away text of ${*:2}" away_is "$@"; } # TEXT NICK...: as other IRC users see it
DBUS_SESSION_BUS_ADDRESS=unix:path=$T/no-bus ends_in_time '[1-9]' 1 "without a bus" 'aim:goaway?message=x'

ngircd_on() { # PORT: a private IRC server, the second one for Konversation
    printf '%s\n' '[Global]' 'Name = irc.test' "Ports = $1" 'Listen = 127.0.0.1' "PidFile = $T/ngircd-$1.pid" \
        '[Limits]' 'MaxConnectionsIP = 0' '[Options]' 'PAM = no' 'DNS = no' 'Ident = no' >"$T/ngircd-$1.conf"
    ngircd --config "$T/ngircd-$1.conf" --nodaemon >/dev/null 2>&1 & PIDS+=($!)
    wait_for 10 "ngircd" bash -c "exec 3<>/dev/tcp/127.0.0.1/$1" 2>/dev/null
}
PORT=$(free_port) && ngircd_on $PORT
PORT2=$(free_port) && ngircd_on $PORT2
weechat() { # NICK COMMAND...: a WeeChat on the server, handed another program's FIFO first
    "${@:2}" 3<>"$T/other-fifo" -r "/server add t 127.0.0.1/$PORT -notls;/set irc.server.t.nicks $1;/set irc.server.t.anti_flood_prio_high 0;/connect t" >/dev/null 2>&1 & PIDS+=($!)
}
# Wherever a WeeChat keeps its FIFO; another user's must not be commanded.
chmod 711 "$T" && install -d -o nobody "$T/nobody" && mkfifo "$T/other-fifo"
weechat weechy weechat-headless && WEECHAT=$!
weechat weedir weechat-headless --dir "$T/weechat-dir" && WEEDIR=$!
weechat nobodys runuser -u nobody -- weechat-headless --dir "$T/nobody"
for nick in weechy weedir nobodys; do wait_for 20 "WeeChat $nick on IRC" online $nick; done
ends_in_time 0 0 "only WeeChat" "$GONE"
shows_away 'Gone fishing & back soon' weechy weedir
python3 -c 'import socket, sys, time; s = socket.socket(socket.AF_UNIX); s.bind(sys.argv[1]); s.listen(); time.sleep(60)' "$T/frozen-bus" & PIDS+=($!)
wait_for 10 "a bus that never answers" test -S "$T/frozen-bus"
DBUS_SESSION_BUS_ADDRESS=unix:path=$T/frozen-bus ends_in_time 0 1 "a frozen bus beside WeeChat" 'aim:goaway?message=x'

mkdir -p "$HOME/.purple" "$T/hexchat"
printf "<account version='1.0'><account><protocol>prpl-irc</protocol><name>finchy@127.0.0.1</name>%s%s</account></account>" \
    "<settings><setting name='port' type='int'>$PORT</setting><setting name='ssl' type='bool'>0</setting></settings>" \
    "<settings ui='gnt-purple'><setting name='auto-login' type='bool'>1</setting></settings>" >"$HOME/.purple/accounts.xml"
in_terminal finch finch && FINCH=$PID
wait_for 20 "Finch on IRC" online finchy
start_xvfb
start_dunst
printf '%s\n' 'gui_slist_skip = 1' 'gui_join_dialog = 0' 'irc_nick1 = hexy' 'net_throttle = 0' >"$T/hexchat/hexchat.conf"
printf '%s\n' 'N=test' 'F=11' "S=127.0.0.1/$PORT" >"$T/hexchat/servlist.conf"
hexchat -d "$T/hexchat" >/dev/null 2>&1 & HEXCHAT=$! PIDS+=($!)
# As root HexChat first waits for a warning to be dismissed.
((EUID)) || timeout 20 xdotool search --sync --onlyvisible --class hexchat windowfocus --sync key Return
wait_for 20 "HexChat on IRC" online hexy
# Konversation on both servers.
{ printf '%s\n' '[General]' 'ShowServerList=false' '[Identity 0]' 'Name=Default Identity' 'Nicknames=konvy,konvy_' 'Realname=k' 'Ident=k'
  n=0 && for port in $PORT $PORT2; do n=$((n + 1)) && printf '%s\n' "[ServerGroup $n]" "Name=net$n" 'Identity=Default Identity' \
      "ServerList=Server $n" 'AutoConnect=true' "[Server $n]" 'Server=127.0.0.1' "Port=$port" 'SSLEnabled=false'; done; } >"$XDG_CONFIG_HOME/konversationrc"
konversation >/dev/null 2>&1 & KONVERSATION=$! PIDS+=($!)
wait_for 30 "Konversation on both servers" eval 'online konvy && PORT=$PORT2 online konvy'

# The whole chain: the installed launcher, xdg-open's lookup, the bridge on PATH.
cmake --install "$2" --prefix "$T/prefix" >/dev/null
export XDG_DATA_HOME=$T/prefix/share PATH=$T/prefix/bin:$PATH XDG_CURRENT_DESKTOP=X-Generic
xdg-mime default pellory-aim-bridge.desktop x-scheme-handler/aim
timeout 10 xdg-open "$GONE"
[[ $(current_message) == 'Gone fishing &amp; back <b>soon</b>' ]] || fail "Finch's away message: $(current_message)"
shows_away 'Gone fishing & back soon' finchy weechy weedir hexy konvy
PORT=$PORT2 shows_away 'Gone fishing & back soon' konvy

sets 'aim:goaway?message=C%2B%2B+100%25%26up%231+<i>é</i>%0D%0A2nd' 'C++ 100%&amp;up#1 <i>é</i><br>2nd' ||
    fail "the text did not arrive as markup: $(current_message | od -c)"

# Links a web page may open: a reference to a CR in any spelling must not end the AWAY line
# and send the rest as commands; a very long text must not get a client dropped or crash it.
exec 4<>"/dev/tcp/127.0.0.1/$PORT"
printf '%s\r\n' 'NICK watcher' 'USER watcher 0 * :w' 'JOIN #t' >&4
while read -r line; do echo "$line" >>"$T/watcher"; [[ $line != PING* ]] || printf 'PONG %s\n' "${line#PING }" >&4; done <&4 & PIDS+=($!)
wait_for 10 "the watcher in #t" grep -qs " 366 watcher #t " "$T/watcher"
for cr in %2313 %23x0d %230000013; do
    timeout 10 xdg-open "aim:goaway?message=back+soon%26${cr}%3BJOIN+%23t%26${cr}%3BPRIVMSG+%23t+%3Ahello+from+a+web+page%26${cr}%3BNICK+hijacked"
    shows_away 'back soon JOIN #t PRIVMSG #t :hello from a web page NICK hijacked' finchy weechy weedir hexy konvy
    timeout 10 xdg-open "aim:goaway?message=$cr"
    shows_away "#${cr#%23}" finchy weechy weedir hexy konvy
done
timeout 10 xdg-open 'aim:goaway?message=/quit+100%25+sure'
shows_away '/quit 100% sure' finchy weechy weedir hexy konvy
! grep -vE '^:(watcher!|irc.test )' "$T/watcher" | grep -E ' (JOIN|PRIVMSG|NICK) ' || fail "a link sent IRC commands"
timeout 10 xdg-open "aim:goaway?message=$(printf 'x%.0s' {1..3000})"
wait_for 30 "a cut away text" eval '[[ $(aways finchy) =~ ^finchy:\ x{100,400}$ ]]' # ngircd keeps 127
kill -0 "$FINCH" && online finchy || fail "a long link knocked Finch off the server"
before=$(statuses)
for i in $(seq 10); do sets "aim:goaway?message=Rotation+$((i % 2))" "Rotation $((i % 2))" || fail "rotation $i"; done
(($(statuses) - before <= 2)) || fail "10 rotations of two texts added $(($(statuses) - before)) statuses"

checks "WeeChat: running; takes messages" "Pidgin or Finch: running; takes messages" "HexChat: running; takes messages" "Konversation: running; takes messages" "Gajim: not running"
# --back: no one is away any more, as other IRC users see it.
ends_in_time 0 0 "--back" --back
wait_for 30 "all back" eval '[[ -z $(aways finchy weechy weedir hexy konvy) && -z $(PORT=$PORT2 aways konvy) ]]'
kill -STOP "$FINCH"
for link in 1 2 3; do ends_in_time 0 1 "a frozen Finch beside WeeChat and HexChat" 'aim:goaway?message=frozen'; done
(($(told 'did not answer in time') == 1)) || fail "a frozen Finch was told $(told 'did not answer in time') times"
shows_away frozen weechy weedir hexy
# A FIFO mounted over WeeChat's own between finding it and writing is not written to.
mkfifo "$T/decoy" && exec 5<>"$T/decoy" && mount --bind "$T/decoy" "$T"/weechat-dir/weechat_fifo*
ends_in_time 0 2 "another FIFO mounted over WeeChat's" 'aim:goaway?message=swapped'
[[ $LINES == *"no longer the FIFO it holds"* ]] || fail "a swapped FIFO: $LINES"
# The same FIFO given to another user is not written to either.
chown nobody "$(readlink /proc/"$WEECHAT"/fd/* | grep -m 1 weechat_fifo)"
ends_in_time 0 3 "WeeChat's FIFO given to another user" 'aim:goaway?message=given'
[[ $LINES == *"owned by another user"* ]] || fail "a FIFO of another user: $LINES"
kill "$WEECHAT" "$WEEDIR" "$HEXCHAT" "$KONVERSATION" && wait "$WEECHAT" "$WEEDIR" "$HEXCHAT" "$KONVERSATION"
ends_in_time '[1-9]' 1 "a frozen Finch beside another user's WeeChat" 'aim:goaway?message=frozen'
[[ -z $(aways nobodys) ]] || fail "another user's WeeChat was commanded: $(aways nobodys)"
(sleep 0.5 && kill -KILL "$FINCH") &
ends_in_time '[1-9]' 1 "Finch killed during the call" 'aim:goaway?message=crash'
[[ $LINES == *"quit or crashed during the call"* ]] || fail "a vanished Finch: $LINES"
ends_in_time '[1-9]' 1 "no messenger at all" 'aim:goaway?message=none'
for cause in 'did not answer in time' 'quit or crashed during the call' 'no messenger is running'; do
    (($(told "$cause") == 1)) || fail "'$cause' was told $(told "$cause") times: $(dunstctl history)"
done
echo "all checks passed"
