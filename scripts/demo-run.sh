#!/usr/bin/env bash
# Runs the demo with a built vutil program ($1). Settings go to a scratch store so
# the demo never touches the user's own.
set -euo pipefail
vutil="$(realpath "$1")"
cd "$(dirname "$0")/.."
scratch="$(mktemp -d)"
server_pid=""
stop_server() {
  exec 3>&- 2>/dev/null || true
  [ -z "$server_pid" ] || wait "$server_pid" 2>/dev/null || true
  server_pid=""
}
trap 'stop_server; rm -rf "$scratch"' EXIT
export VUTIL_REGISTRY="$scratch/registry.reg"
export VUTIL_LOCALE="${VUTIL_LOCALE:-en-US}"
run() { echo "\$ vutil $*"; "$vutil" "$@"; echo; }
run --version
echo "\$ vutil sort --nocase < examples/words.txt"; "$vutil" sort --nocase < examples/words.txt; echo
run match "*.txt" readme.txt notes.doc report.TXT
run readability examples/prose.txt
run number roman 2026
run number bytes 1536000
run number fraction 2.375
run date info 2026 12 6
run date rule 7 6 11 2026
run date parse "second tuesday of march 2027"
run date fuzzy 5400
run date duration "2h 15m"
run reg set 'HKCU\Software\Demo' Greeting hello
run reg get 'HKCU\Software\Demo' Greeting

# The link checker over the sample site: its remote links name remote.example, which
# the demo maps to a small server it starts on 127.0.0.1 and stops afterwards.
mkfifo "$scratch/server-in"
python3 scripts/links-server.py --root examples/site-remote <"$scratch/server-in" >"$scratch/port" &
server_pid=$!
exec 3>"$scratch/server-in"
for _ in $(seq 100); do [ -s "$scratch/port" ] && break; sleep 0.1; done
port="$(head -1 "$scratch/port")"
echo "\$ vutil links check examples/site --recursive --external --map http://remote.example/=http://127.0.0.1:$port/"
status=0
"$vutil" links check examples/site --recursive --external --map "http://remote.example/=http://127.0.0.1:$port/" || status=$?
echo "(exit status $status: 1 means broken links were found)"
stop_server
