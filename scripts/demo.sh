#!/usr/bin/env bash
# The library's main job: builds the vutil command-line program and runs its demo.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/ensure-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default --target vutil_cli
exec scripts/demo-run.sh build/default/tools/vutil
