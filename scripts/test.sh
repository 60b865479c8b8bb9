#!/usr/bin/env bash
# Builds and runs every test: the default preset, then the asan preset
# (AddressSanitizer + UndefinedBehaviorSanitizer, fuzz replays included), then the
# multi-threaded tests under ThreadSanitizer (tsan preset; only those, to keep CI short),
# then the Windows cross-build (mingw preset) with every test under Wine. Each stage
# prints how long it took.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/ensure-deps.sh
status=0
stage() { echo "== preset $1: ${SECONDS}s"; SECONDS=0; }
SECONDS=0
for preset in default asan; do
  echo "== preset $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  ctest --preset "$preset" || status=1
  stage "$preset"
done
echo "== preset tsan"
cmake --preset tsan >/dev/null
cmake --build --preset tsan --target test_threads
ctest --preset tsan || status=1
stage tsan
echo "== preset mingw"
cmake --preset mingw >/dev/null
cmake --build --preset mingw
ctest --preset mingw || status=1
WINEPREFIX="$PWD/build/wineprefix" wineserver -k 2>/dev/null || true
stage mingw
exit $status
