#!/usr/bin/env bash
# The test command: sets up a fresh Debian machine, builds every preset and
# runs every test. Ends with one line "tests: N passed, N failed, N skipped".
#
#   FUZZ_SECONDS  seconds each fuzz target runs (default 60)
#   PRESETS       presets to build and test (default: all)
#   BENCH_SECONDS seconds the benchmark step measures each rate (default 15)
set -uo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
fuzz_seconds=${FUZZ_SECONDS:-60}
presets=${PRESETS:-"linux linux-asan linux-tsan win64 win32 fuzz"}
jobs=$(nproc)

./scripts/setup.sh || { echo "setup failed"; exit 1; }

passed=0
failed=0
skipped=0
failures=()
logs=$(mktemp -d)

# Wine: one fresh prefix for the whole run, removed at the end with its server.
export WINEPREFIX="$logs/wineprefix"
export WINEDEBUG=-all
cleanup() {
  WINEPREFIX="$WINEPREFIX" /usr/lib/wine/wineserver64 -k 2>/dev/null
  rm -rf "$logs"
}
trap cleanup EXIT

record() {  # record NAME OK?
  if [ "$2" -eq 0 ]; then passed=$((passed + 1)); else failed=$((failed + 1)); failures+=("$1"); fi
}

# ThreadSanitizer watches the logger's threads: only the programs and the
# tests that run them are built and run in that preset.
tsan_targets=(--target rovelog-headless nmea-sim recorder_test send_pass_test)
tsan_tests='^(Recorder|SendAllArchives)[.]'
export TSAN_OPTIONS="halt_on_error=1 exitcode=66"

build() {  # build PRESET
  local preset=$1 targets=()
  [ "$preset" = linux-tsan ] && targets=("${tsan_targets[@]}")
  if cmake --preset "$preset" >"$logs/$preset.configure" 2>&1 &&
     cmake --build --preset "$preset" -j "$jobs" "${targets[@]}" >"$logs/$preset.build" 2>&1; then
    echo "== $preset: built"
    return 0
  fi
  echo "== $preset: BUILD FAILED"
  tail -n 40 "$logs/$preset.configure" "$logs/$preset.build"
  record "$preset: build" 1
  return 1
}

run_ctest() {  # run_ctest PRESET [CTEST ARGUMENTS]
  local preset=$1 out="$logs/$1.ctest"
  shift
  ctest --test-dir "build/$preset" --output-on-failure -j "$jobs" "$@" >"$out" 2>&1
  local summary
  summary=$(grep -E 'tests passed|tests failed out of' "$out" | tail -n 1)
  echo "== $preset: ${summary:-no test summary}"
  local total=0 bad=0 not_run
  if [[ $summary =~ ([0-9]+)\ tests\ failed\ out\ of\ ([0-9]+) ]]; then
    bad=${BASH_REMATCH[1]}
    total=${BASH_REMATCH[2]}
  fi
  # ctest counts a skipped test (GTEST_SKIP) among the passed ones and lists
  # it under "The following tests did not run".
  not_run=$(sed -n '/The following tests did not run/,/^$/p' "$out" | grep -cE '\((Skipped|Disabled)\)$')
  sed -n '/The following tests did not run/,/^$/p' "$out" | grep -E '\((Skipped|Disabled)\)$' |
    sed "s/^\s*/   $preset: skipped /"
  passed=$((passed + total - bad - not_run))
  failed=$((failed + bad))
  skipped=$((skipped + not_run))
  if [ "$bad" -gt 0 ] || [ -z "$summary" ]; then
    [ -z "$summary" ] && { failed=$((failed + 1)); tail -n 60 "$out"; }
    sed -n '/The following tests FAILED/,$p' "$out" | grep -E '^\s+[0-9]+ - ' | sed "s/^/   $preset: /"
    grep -B2 -A30 -E '^\[  FAILED  \]|Failure$|ERROR: |Sanitizer' "$out" | head -n 200
    failures+=("$preset")
  fi
}

# Each fuzz target takes one core for its time: as many run at once as
# there are cores, so each gets the same executions in less wall time.
run_fuzzers() {
  local target name running=0
  local targets=(build/fuzz/tests/fuzz/fuzz_*)
  for target in "${targets[@]}"; do
    [ -x "$target" ] || continue
    name=$(basename "$target")
    mkdir -p "$logs/corpus-$name"
    (
      "$target" -max_total_time="$fuzz_seconds" -rss_limit_mb=2048 -timeout=10 \
        "$logs/corpus-$name" >"$logs/$name.log" 2>&1
      echo $? >"$logs/$name.status"
    ) &
    running=$((running + 1))
    if [ "$running" -ge "$jobs" ]; then
      wait -n
      running=$((running - 1))
    fi
  done
  wait
  for target in "${targets[@]}"; do
    [ -x "$target" ] || continue
    name=$(basename "$target")
    if [ "$(cat "$logs/$name.status" 2>/dev/null)" = 0 ]; then
      echo "== fuzz: $name ran ${fuzz_seconds}s without a finding"
      record "fuzz: $name" 0
    else
      echo "== fuzz: $name FOUND A PROBLEM"
      tail -n 60 "$logs/$name.log"
      record "fuzz: $name" 1
    fi
  done
}

# The benchmark step: what reading a live receiver costs, measured for a short
# while at 1 Hz and 10 Hz (per-minute figures are scaled from that). The
# figures are printed for reading; only a failure to measure fails the run.
run_benchmarks() {
  local tool=build/linux/tests/bench/serial_cost out="$logs/serial_cost.log"
  [ -x "$tool" ] || return
  if "$tool" "${BENCH_SECONDS:-15}" >"$out" 2>&1; then
    echo "== benchmarks: serial_cost"
    sed 's/^/   /' "$out"
    record "bench: serial_cost" 0
  else
    echo "== benchmarks: serial_cost COULD NOT MEASURE"
    tail -n 20 "$out"
    record "bench: serial_cost" 1
  fi
}

# The checks of the shipped executables gain nothing from the sanitizers:
# they run once, in the linux preset.
shipped_checks='^(windows_exe|distributable)'

# Every preset is built before any test runs: the Windows presets' tests
# include native programs of the linux build that drive their programs under
# Wine, so the linux build is made for them even when not asked for.
build_list=$presets
if [[ " $presets " =~ \ win(32|64)\  && ! " $presets " =~ \ linux\  ]]; then
  build_list="linux $presets"
fi
built=()
for preset in $build_list; do
  build "$preset" && built+=("$preset")
done

# The Windows presets' own programs run in the run's prefix, made by the
# 64-bit loader (32-bit programs run in it too), with Wine's own fonts.
wine_prefix_ready=
wine_prefix() {
  [ -n "$wine_prefix_ready" ] && return
  /usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1
  ./scripts/wine-fonts.sh "$WINEPREFIX"
  wine_prefix_ready=1
}

for preset in "${built[@]}"; do
  [[ " $presets " =~ \ $preset\  ]] || continue  # built only for the Windows presets' tests
  case $preset in
    # The product (i686) under the 32-bit Wine, every Windows test; the
    # x86_64 twin under wine64, without the whole runs of the window where
    # the product runs them.
    win32 | win64)
      wine_prefix
      if [ "$preset" = win32 ] && ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
        echo "== win32: this machine cannot start the 32-bit Wine (it runs 64-bit programs only):" \
          "the product's Wine tests skip, and win64 runs all of its cases"
      fi
      run_ctest "$preset" ;;
    fuzz) run_fuzzers ;;
    linux-tsan) run_ctest "$preset" -R "$tsan_tests" ;;
    linux)
      run_ctest "$preset"
      run_benchmarks ;;
    linux-asan) run_ctest "$preset" -E "$shipped_checks" ;;
    *) run_ctest "$preset" ;;
  esac
done

if [ ${#failures[@]} -gt 0 ]; then
  echo "Failed: ${failures[*]}"
fi
echo "== the test command took $((SECONDS / 60)) min $((SECONDS % 60)) s (set-up included)"
echo "tests: $passed passed, $failed failed, $skipped skipped"
[ "$failed" -eq 0 ]
