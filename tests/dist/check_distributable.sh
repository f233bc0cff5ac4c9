#!/usr/bin/env bash
# Checks Rovelog-1.2-win32.zip: exactly the program and readme.txt; the
# program is the build's i686 Rovelog.exe and passes the executable checks;
# the readme is Russian text in code page 1251 with CRLF line ends that
# names the "Server" key of section "Properties".
#
#   check_distributable.sh ZIP BUILT_EXE
set -uo pipefail
zip=$1 built=$2
here=$(dirname "$0")
if [ ! -f "$zip" ]; then
  echo "$zip is absent: build the win32 preset first"
  exit 77
fi
failed=0
fail() { echo "$zip: $*"; failed=1; }

names=$(unzip -Z1 "$zip" | sort | tr '\n' ' ')
[ "$names" = "Rovelog.exe readme.txt " ] || fail "holds [$names], not Rovelog.exe and readme.txt"

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
unzip -q "$zip" -d "$stage" || fail "does not unpack"
cmp -s "$stage/Rovelog.exe" "$built" || fail "Rovelog.exe is not the build's $built"
python3 "$here/check_windows_exe.py" "$stage/Rovelog.exe" i386 || failed=1

readme=$stage/readme.txt
text=$(iconv -f CP1251 -t UTF-8 "$readme" 2>/dev/null) || fail "readme.txt is not code page 1251"
lines=$(wc -l <"$readme")
crlf=$(grep -c $'\r$' "$readme")
[ "$lines" -gt 0 ] && [ "$crlf" -eq "$lines" ] || fail "readme.txt: $crlf of $lines lines end in CRLF"
for needle in 'Rovelog' '"Server"' '"Properties"' 'host[:port]' 'properties.ini' 'Tracks\ToSend' 'Tracks\Sended' 'Что это'; do
  grep -qF "$needle" <<<"$text" || fail "readme.txt does not mention $needle"
done
[ "$failed" -eq 0 ] && echo "$zip: program and Russian readme as they should be"
exit "$failed"
