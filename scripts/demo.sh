#!/usr/bin/env bash
# The program's main job, shown without a window: sets up a fresh Debian
# machine, builds the Linux programs, starts the tracking-service stand-in on
# loopback and a simulated receiver on a pseudo-terminal, records a drive
# with the headless recorder sending by distance, and shows the event log,
# the archives the service accepted and the Sended folder.
#
#   DEMO_SECONDS  how long to record (default 40)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
seconds=${DEMO_SECONDS:-40}

./scripts/setup.sh
cmake --preset linux >/dev/null
cmake --build --preset linux -j "$(nproc)" --target rovelog-headless nmea-sim >/dev/null

work=$(mktemp -d)
pids=()
cleanup() {
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

mkdir -p "$work/Rovelog"
# The settings the window would save: by distance, every 300 m; the demo
# account has no password.
cat >"$work/Rovelog/properties.ini" <<INI
[Properties]
COM=COM3
Login=demo
Track=Demo drive
Prorezhivanie=10
Privacy=
Points=True
PointsCount=300
Server=127.0.0.1:$port
INI
build/linux/tools/nmea-sim --link "$work/Rovelog/com3" --speed 40 --turn 2 --nofix-every 20 --nofix-for 3 \
  --pace epoch --speedup 4 --hold 600 >/dev/null &
pids+=($!)
for _ in $(seq 100); do [ -e "$work/Rovelog/com3" ] && break; sleep 0.1; done

echo "== recording for $seconds s (event log of the headless recorder)"
{ echo start; sleep "$seconds"; echo stop; sleep 3; echo quit; } |
  build/linux/tools/rovelog-headless --dir "$work/Rovelog" --answer no | grep -v '^= 1 '

echo "== archives the service accepted"
find "$work/service" -name '*.zip' | sort
echo "== Sended"
find "$work/Rovelog/Tracks/Sended" -type f | sort
echo "== waiting in ToSend"
find "$work/Rovelog/Tracks/ToSend" -type f | sort
