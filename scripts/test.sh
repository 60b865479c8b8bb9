#!/usr/bin/env bash
# Builds and runs every test: the default preset, then the asan preset
# (AddressSanitizer + UndefinedBehaviorSanitizer, fuzz replays included), then the
# multi-threaded tests under ThreadSanitizer (tsan preset; only those, to keep CI short).
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
echo "== preset tsan"
cmake --preset tsan >/dev/null
cmake --build --preset tsan --target test_threads
ctest --preset tsan || status=1
exit $status
