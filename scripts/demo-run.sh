#!/usr/bin/env bash
# Runs the demo with a built vutil program ($1).
set -euo pipefail
vutil="$1"
cd "$(dirname "$0")/.."
echo "== vutil --version"
"$vutil" --version
echo "== vutil sort --nocase < examples/words.txt"
"$vutil" sort --nocase < examples/words.txt
