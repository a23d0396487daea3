# SPDX-License-Identifier: MIT
# A private Matrix homeserver for the shell tests, after session.sh: Synapse 1.67.0 from the
# third-party folder, installed once into a venv kept in the build folder (about 15 s), then
# started on 127.0.0.1 with a fresh database in $T (a few seconds). The test skips (77) when
# the tarball or one of the Debian packages it runs on is missing.
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/packages.sh"

# start_synapse THIRD_PARTY CACHE: sets SYNAPSE_URL; the server stops with the test.
start_synapse() {
    local tarball=$1/synapse-1.67.0.tar.gz
    SYNAPSE=$2/synapse-1.67.0
    [[ -f $tarball ]] || { echo "SKIP: no $tarball"; exit 77; }
    dpkg-query -W -f='${db:Status-Abbrev}${Package}\n' "${MATRIX_PACKAGES[@]}" 2>&1 | grep -v '^ii ' &&
        { echo "SKIP: the Debian packages above are missing"; exit 77; }
    [[ -s $SYNAPSE/gen.yaml ]] || install_synapse "$tarball" "$2"
    SYNAPSE_URL=http://127.0.0.1:$(/usr/bin/python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
    { printf '%s\n' 'server_name: localhost' 'report_stats: false' 'enable_registration: false' \
        "listeners: [{port: ${SYNAPSE_URL##*:}, bind_addresses: ['127.0.0.1'], type: http, tls: false, resources: [{names: [client]}]}]" \
        "database: {name: sqlite3, args: {database: $T/synapse.db}}" "media_store_path: $T/media" \
        "signing_key_path: $SYNAPSE/localhost.signing.key" 'presence: {enabled: true}' 'trusted_key_servers: []' \
        'rc_login: {address: {per_second: 100, burst_count: 100}, account: {per_second: 100, burst_count: 100}}'
      grep -E '^(registration_shared_secret|macaroon_secret_key|form_secret):' "$SYNAPSE/gen.yaml"; } >"$T/synapse.yaml"
    "$SYNAPSE/venv/bin/python" -m synapse.app.homeserver --config-path "$T/synapse.yaml" >"$T/synapse.log" 2>&1 &
    SYNAPSE_PID=$! PIDS+=($!)
    wait_for 60 "Synapse" matrix_api GET /_matrix/client/versions '' >/dev/null 2>&1
}

# Into a folder of its own first, so that two tests that install at once don't mix. Built from
# $T: poetry leaves out of the package what git ignores, and the build folder is ignored.
install_synapse() { # TARBALL CACHE
    local new
    mkdir -p "$2" && new=$(mktemp -d "$2/synapse.XXXXXX") || fail "no folder for Synapse in $2"
    tar -xzf "$1" -C "$T" && /usr/bin/python3 -m venv --system-site-packages "$new/venv" &&
        TMPDIR=$T "$new/venv/bin/pip" install -q --no-cache-dir --no-index --no-deps --no-build-isolation \
            "$T/synapse-1.67.0" &&
        "$new/venv/bin/python" -m synapse.app.homeserver --server-name localhost --config-path "$new/gen.yaml" \
            --data-directory "$new" --generate-config --report-stats=no >/dev/null || fail "installing Synapse"
    mv -T "$new" "$SYNAPSE" 2>/dev/null || rm -rf "$new" # another test was quicker
}

# synapse_user NAME PASSWORD: registers @NAME:localhost.
synapse_user() {
    "$SYNAPSE/venv/bin/python" -m synapse._scripts.register_new_matrix_user -u "$1" -p "$2" --no-admin \
        -c "$T/synapse.yaml" "$SYNAPSE_URL" >/dev/null || fail "registering $1"
}

# matrix_api METHOD PATH TOKEN [JSON]: the homeserver's JSON answer; fails on an HTTP error.
matrix_api() {
    /usr/bin/python3 -c 'import sys, urllib.request as u
url, method, path, token, body = sys.argv[1:5] + [(sys.argv[5:] or [None])[0]]
headers = {"Authorization": "Bearer " + token, "Content-Type": "application/json"} if token else {}
print(u.urlopen(u.Request(url + path, body and body.encode(), headers, method=method), timeout=10).read().decode())' \
        "$SYNAPSE_URL" "$@"
}

# matrix_token NAME PASSWORD: logs @NAME:localhost in and prints the new access token.
matrix_token() {
    matrix_api POST /_matrix/client/v3/login '' \
        "{\"type\":\"m.login.password\",\"identifier\":{\"type\":\"m.id.user\",\"user\":\"$1\"},\"password\":\"$2\"}" |
        /usr/bin/python3 -c 'import json, sys; print(json.load(sys.stdin)["access_token"])'
}
