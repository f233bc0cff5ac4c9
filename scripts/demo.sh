#!/usr/bin/env bash
# The program's main job, as a user sees it: sets up a fresh Debian machine,
# builds the distributable with the 32-bit Rovelog.exe (the product) and the
# receiver simulator, starts the tracking-service stand-in on loopback and a
# simulated receiver on a pseudo-terminal that Wine sees as COM3, and runs
# the Rovelog.exe of the distributable under the 32-bit Wine recording by
# distance from the start (AutoTrack); on a machine that runs 64-bit
# programs only, the x86_64 build under wine64 instead. The window shows on
# your display when $DISPLAY is set, otherwise on a private Xvfb.
# Screenshots of the window recording and stopped are saved (their paths are
# printed); then the window is closed as a user would and the archives that
# reached the service are listed.
#
#   DEMO_SECONDS  how long to record (default 40)
#   DEMO_KEEP     a folder to keep the screenshots in (default: the work folder)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
seconds=${DEMO_SECONDS:-40}
# The 32-bit loader runs the i686 program in a prefix the 64-bit one makes.
wine=/usr/lib/wine/wine
wine64=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver64

./scripts/setup.sh
cmake --preset linux >/dev/null
cmake --build --preset linux -j "$(nproc)" --target nmea-sim >/dev/null
# The window driver reads the window's list through its memory: it is built
# for the program's bitness.
if "$wine" --version >/dev/null 2>&1; then
  preset=win32 bitness=32-bit targets=(distributable window-driver)
else
  # Some machines run 64-bit programs only: there the x86_64 twin shows.
  echo "== this machine cannot start the 32-bit Wine: the demo runs the x86_64 Rovelog.exe under wine64"
  preset=win64 bitness=64-bit targets=(Rovelog window-driver) wine=$wine64
fi
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" -j "$(nproc)" --target "${targets[@]}" >/dev/null

work=$(mktemp -d)
shots=${DEMO_KEEP:-$work/screenshots}
mkdir -p "$shots"
export WINEPREFIX=$work/wineprefix WINEDEBUG=-all LC_ALL=ru_RU.UTF-8
pids=()
cleanup() {
  [ -n "${DRIVER_PID:-}" ] && kill "$DRIVER_PID" 2>/dev/null
  "$wineserver" -k 2>/dev/null || true
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
}
trap cleanup EXIT

echo "== working folder: $work"
python3 tools/service_standin.py --login demo --store "$work/service" \
  --port-file "$work/port" --version-text win1_2 >"$work/service.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/port" ] && break; sleep 0.1; done
port=$(cat "$work/port")
echo "== service stand-in on 127.0.0.1:$port"

if [ -z "${DISPLAY:-}" ]; then
  # Xvfb picks a free display and writes its number once it accepts clients.
  Xvfb -displayfd 3 -screen 0 1280x900x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
  pids+=($!)
  for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
  export DISPLAY=:$(cat "$work/display")
  echo "== no display: Rovelog.exe shows on Xvfb $DISPLAY"
  private_display=1
else
  echo "== Rovelog.exe shows on your display $DISPLAY"
fi

echo "== preparing a fresh Wine prefix"
"$wine64" wineboot -i >/dev/null 2>&1
# Wine's own fonts, Marlett for the caption buttons among them.
./scripts/wine-fonts.sh "$WINEPREFIX"
if [ -n "${private_display:-}" ]; then
  # No window manager on Xvfb: Wine's desktop draws the window frames.
  "$wine64" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
  "$wine64" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1280x900 /f >/dev/null 2>&1
fi
"$wineserver" -k 2>/dev/null || true
"$wineserver" -w
# An idle server ends after a few seconds, and the volatile key below with it.
"$wineserver" -p
# Wine lists only its own serial devices; COM3 is the simulator's link. The
# key is volatile, as on Windows: it is set after the server's restart.
"$wine64" reg add 'HKLM\HARDWARE\DEVICEMAP\SERIALCOMM' /v '\Device\RovelogCOM3' /d COM3 /f >/dev/null 2>&1

program=$work/Rovelog
mkdir -p "$program"
if [ "$preset" = win32 ]; then
  # The program as users get it: out of the distributable.
  unzip -q build/win32/Rovelog-1.2-win32.zip Rovelog.exe -d "$program"
else
  cp build/win64/app/Rovelog.exe "$program"
fi
# The settings the window saves: by distance, every 300 m, recording from the
# start; the demo account has no password.
cat >"$program/properties.ini" <<INI
[Properties]
COM=COM3
Login=demo
Track=Demo drive
Prorezhivanie=10
Privacy=
Points=True
PointsCount=300
AutoTrack=Yes
Server=127.0.0.1:$port
INI
build/linux/tools/nmea-sim --link "$WINEPREFIX/dosdevices/com3" --speed 40 --turn 2 --nofix-every 20 \
  --nofix-for 3 --pace epoch --speedup 4 --hold 600 >/dev/null &
pids+=($!)
for _ in $(seq 100); do [ -e "$WINEPREFIX/dosdevices/com3" ] && break; sleep 0.1; done

echo "== starting the $bitness Rovelog.exe under the $bitness Wine"
"$wine" "$program/Rovelog.exe" >/dev/null 2>&1 &
rovelog_pid=$!
pids+=("$rovelog_pid")

# Our window driver finds the window, reads its log and tells where it is.
coproc DRIVER { "$wine" "build/$preset/tests/support/window_driver/window-driver.exe" 2>/dev/null; }
drive() {  # drive COMMAND: the answer's first line in $reply; false on "error"
  echo "$*" >&"${DRIVER[1]}"
  IFS= read -r reply <&"${DRIVER[0]}"
  [[ $reply == ok* ]]
}
wait_for() {  # wait_for SECONDS COMMAND EXPECTED
  local end=$((SECONDS + $1))
  while [ $SECONDS -lt "$end" ]; do
    drive "$2" && [[ $reply == "$3"* ]] && return 0
    sleep 0.5
  done
  return 1
}
screenshot() {  # screenshot NAME
  drive rect || return 1
  set -- "$shots/$1.png" ${reply#ok }
  import -display "$DISPLAY" -window root -crop "${4}x${5}+${2}+${3}" +repage "$1"
  echo "   screenshot: $1"
}
log_lines() {  # log_lines LAST: the last lines of the event log list
  drive "list 1000" || return 0
  local count=${reply#ok } line lines=()
  for ((i = 0; i < count; i++)); do IFS= read -r line <&"${DRIVER[0]}"; lines+=("$line"); done
  local first=$((count > $1 ? count - $1 : 0))
  for line in "${lines[@]:$first}"; do echo "   | $line"; done
}

wait_for 120 "find Vantrek" "ok" || { echo "the window did not appear"; exit 1; }
drive "find Vantrek"
echo "== the window is up; AutoTrack started the recording"
wait_for 60 "colour 1002" "ok green" || echo "   (no position yet)"
echo "== recording for $seconds s"
sleep "$seconds"
screenshot "rovelog-recording"
echo "== stopping: the last track is packed and sent"
drive "click 1002"
wait_for 60 "colour 1002" "ok red" || echo "   (the button did not turn red)"
for _ in $(seq 60); do [ -z "$(ls "$program/Tracks/ToSend")" ] && break; sleep 0.5; done
sleep 1
screenshot "rovelog-stopped"
echo "== the event log"
log_lines 20

echo "== closing the window"
drive close || true
wait "$rovelog_pid" 2>/dev/null || true

echo "== archives the service accepted"
find "$work/service" -name '*.zip' | sort
echo "== Sended"
find "$program/Tracks/Sended" -type f | sort
echo "== waiting in ToSend"
find "$program/Tracks/ToSend" -type f | sort
echo "== screenshots in $shots"
