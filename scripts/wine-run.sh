#!/usr/bin/env bash
# Runs a Windows test program under Wine: CMake's emulator for the Windows
# builds. ROVELOG_WINE names the loader of the program's bitness (the win32
# build's tests set /usr/lib/wine/wine, the win64 build's wine64, the
# default). The test command prepares one fresh prefix per run and exports
# WINEPREFIX; run by hand, this script makes a prefix of its own once (and
# one per other locale).
set -euo pipefail
wine=${ROVELOG_WINE:-/usr/lib/wine/wine64}
if [ ! -x "$wine" ]; then
  echo "wine-run.sh: $wine is not installed: run scripts/setup.sh" >&2
  exit 1
fi
# Some machines run 64-bit programs only (their kernel or hypervisor refuses
# i386 code): the 32-bit loader cannot start there, and the test is skipped
# (77, the code ctest is told means skipped) rather than failed.
if ! "$wine" --version >/dev/null 2>&1; then
  echo "wine-run.sh: skipped: this machine cannot start $wine (it runs 64-bit programs only)" >&2
  exit 77
fi
export WINEDEBUG=-all
# The code page of a Russian system (1251) for the ANSI conversions, unless
# ROVELOG_WINE_LOCALE names another (en_US.UTF-8: 1252, a Western system).
locale=${ROVELOG_WINE_LOCALE:-ru_RU.UTF-8}
export LC_ALL=$locale
export WINEPREFIX="${WINEPREFIX:-${TMPDIR:-/tmp}/rovelog-wine-$(id -u)}"
# A running wineserver keeps the code page it started with, so another
# locale runs in a prefix of its own.
if [ "$locale" != ru_RU.UTF-8 ]; then
  export WINEPREFIX="$WINEPREFIX-$locale"
fi
(
  flock 9
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    # The 64-bit loader makes the prefix; 32-bit programs run in it too.
    /usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1
    "$(dirname "$0")/wine-fonts.sh" "$WINEPREFIX"
  fi
) 9>"${WINEPREFIX}.lock"
exec "$wine" "$@"
