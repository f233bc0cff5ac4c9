#!/usr/bin/env bash
# Runs a Windows test program under wine64: CMake's emulator for the win64
# build. The test command prepares one fresh prefix per run and exports
# WINEPREFIX; run by hand, this script makes a prefix of its own once.
set -euo pipefail
wine=/usr/lib/wine/wine64
export WINEDEBUG=-all
# The code page of a Russian system (1251) for the ANSI conversions.
export LC_ALL=ru_RU.UTF-8
if [ -z "${WINEPREFIX:-}" ]; then
  export WINEPREFIX="${TMPDIR:-/tmp}/rovelog-wine-$(id -u)"
  (
    flock 9
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
      "$wine" wineboot -i >/dev/null 2>&1
    fi
  ) 9>"${WINEPREFIX}.lock"
fi
exec "$wine" "$@"
