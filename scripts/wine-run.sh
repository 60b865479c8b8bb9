#!/usr/bin/env bash
# Runs a Windows program of the mingw build under Wine, in the project's own Wine
# prefix (build/wineprefix, made on first use), with an English (United States) user
# locale and Wine's own diagnostics off. CMake uses it as the cross-compiling emulator,
# so CTest runs the Windows test binaries through it.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export WINEPREFIX="${VUTIL_WINEPREFIX:-$here/build/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
export LANG=en_US.UTF-8 LC_ALL=en_US.UTF-8
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
exec "$wine_bin" "$@"
