#!/usr/bin/env bash
# Runs the demo with a built vutil program ($1). Settings go to a scratch store so
# the demo never touches the user's own.
set -euo pipefail
vutil="$(realpath "$1")"
cd "$(dirname "$0")/.."
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
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
