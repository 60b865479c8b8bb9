#!/usr/bin/env bash
# Builds and runs every test: the default preset, then the asan preset
# (AddressSanitizer + UndefinedBehaviorSanitizer, fuzz replays included).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/ensure-deps.sh
status=0
for preset in default asan; do
  echo "== preset $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  ctest --preset "$preset" || status=1
done
exit $status
