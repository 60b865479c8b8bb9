#!/usr/bin/env bash
# Runs a Windows program of the mingw build under Wine, in the project's own Wine
# prefix (build/wineprefix, made on first use), with an English (United States) user
# locale and Wine's own diagnostics off. CMake uses it as the cross-compiling emulator,
# so CTest runs the Windows test binaries through it. Beside the program it runs the
# host bridge (tests/support/host_bridge.py), through which the tests start the Linux
# oracles and test servers.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export WINEPREFIX="${VUTIL_WINEPREFIX:-$here/build/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
export LANG=en_US.UTF-8
unset LC_ALL LC_MESSAGES LC_CTYPE
wine_bin="$(command -v wine64 || command -v wine)"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
      DISPLAY= wineboot -i >/dev/null 2>&1 || true
      wineserver -w || true
    fi
  ) 9>"$WINEPREFIX.lock"
fi
if [ -n "${VUTIL_HOST_BRIDGE:-}" ] || ! command -v python3 >/dev/null; then
  exec "$wine_bin" "$@"
fi
coproc BRIDGE { exec python3 "$here/tests/support/host_bridge.py"; }
read -r port <&"${BRIDGE[0]}"
export VUTIL_HOST_BRIDGE="$port"
status=0
"$wine_bin" "$@" || status=$?
eval "exec ${BRIDGE[1]}>&-"
wait "$BRIDGE_PID" 2>/dev/null || true
exit "$status"
