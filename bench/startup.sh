#!/usr/bin/env bash
# Start-up benchmark: the program against a hello window of its own toolkit,
# started in turns (program, hello, program, hello ...), Release builds.
#
#   bench/startup.sh [qt|wine|all] [PAIRS]      (default: all 30)
#
# Qt, under Xvfb: exec -> first window mapped (the splash); exec -> main
# window mapped, with a key pressed on the splash as it maps (the hello's
# first window is its anchor); the peak resident set with the main window up.
# Win32 under Wine (same Xvfb, no window manager): exec -> first top-level
# window; the process's private memory with the main window up. Then the
# floor: the same hello on the common controls of version 6 (the program's
# manifest), against the plain hello.
# Prints medians, the spread (the middle half of the runs) and the ratios;
# keeps startwatch's line of each run in build/bench-startup/{qt,wine}-{program,hello}.
# Run by hand: the figures depend on the machine and its load.
#
# BENCH_CPU=N runs the X server, Wine's server and every program on CPU N.
# On a virtual machine a program waiting on another process's answer pays a
# halted virtual CPU's wake-up (measured: 45 ms to the splash on wineserver's
# CPU, 175 ms on the other); which CPU each run lands on is then the largest
# part of the spread. One CPU for all measures the programs, not the placement.
set -euo pipefail
cd "$(dirname "$0")/.."

what=${1:-all}
pairs=${2:-30}
out=build/bench-startup

if [ -z "${FERRO_IN_XVFB:-}" ]; then
  source scripts/deps.sh
  needed=("${BUILD_PACKAGES[@]}" "${SCREENSHOT_PACKAGES[@]}" libx11-dev libxtst-dev)
  [ "$what" != qt ] && needed+=("${WINDOWS_PACKAGES[@]}" "${WINE_TEST_PACKAGES[@]}")
  ensure_packages "${needed[@]}"
  echo "== Release builds of the program and of the hello anchors"
  # The hellos get the program's Release flags: -Os, as the project sets them.
  anchor_flags=(-DCMAKE_BUILD_TYPE=Release -DCMAKE_C_FLAGS_RELEASE="-Os -DNDEBUG" -DCMAKE_CXX_FLAGS_RELEASE="-Os -DNDEBUG")
  if [ "$what" != wine ]; then
    cmake -S . -B "$out/qt" -G Ninja -DCMAKE_BUILD_TYPE=Release -DFERRO_BUILD_TESTS=OFF >/dev/null
    cmake --build "$out/qt" --target ferrowinder
    cmake -S bench/startup -B "$out/anchors-qt" -G Ninja "${anchor_flags[@]}" >/dev/null
    cmake --build "$out/anchors-qt"
  fi
  if [ "$what" != qt ]; then
    # The program as shipped (the windows preset), and the hello with the
    # same toolchain and flags.
    cmake --preset windows >/dev/null
    cmake --build --preset windows --target ferrowinder
    cmake -S bench/startup -B "$out/anchors-win32" -G Ninja --toolchain "$PWD/cmake/mingw-w64.cmake" \
      "${anchor_flags[@]}" >/dev/null
    cmake --build "$out/anchors-win32"
    # The timing client is native even when only Wine is measured.
    [ -x "$out/anchors-qt/startwatch" ] || {
      cmake -S bench/startup -B "$out/anchors-qt" -G Ninja "${anchor_flags[@]}" >/dev/null
      cmake --build "$out/anchors-qt" --target startwatch
    }
  fi
  export FERRO_IN_XVFB=1
  pin=()
  [ -n "${BENCH_CPU:-}" ] && pin=(taskset -c "$BENCH_CPU")
  exec "${pin[@]}" xvfb-run -a -s "-screen 0 1024x768x24 -noreset" "$0" "$@"
fi

watch=$out/anchors-qt/startwatch
[ -n "${BENCH_CPU:-}" ] && echo "== Every process on CPU $BENCH_CPU"
scratch=$(mktemp -d)
keeper=""
cleanup() {
  [ -n "$keeper" ] && { exec 9>&-; kill "$keeper" 2>/dev/null; } || true
  [ -n "${WINEPREFIX:-}" ] && timeout 30 wineserver -k >/dev/null 2>&1 || true
  rm -rf "$scratch"
}
trap cleanup EXIT

# quantiles: the 25th, 50th and 75th percentiles of the numbers on stdin.
quantiles() {
  sort -g | awk '{ v[NR] = $1 }
    function q(p,   i, f) { i = 1 + (NR - 1) * p; f = int(i); return v[f] + (i - f) * (v[f + (f < NR)] - v[f]) }
    END { if (NR) printf "%.6g %.6g %.6g\n", q(0.25), q(0.5), q(0.75) }'
}

# report NAME UNIT LABEL N_PROGRAM N_HELLO: one figure, the N-th field of
# startwatch's lines of the program and of the hello, pair by pair.
report() {
  local name=$1 unit=$2 file=$scratch/figure p h r n
  paste -d' ' <(cut -d' ' -f"$4" "$scratch/$3-program") <(cut -d' ' -f"$5" "$scratch/$3-hello") >"$file"
  n=$(wc -l <"$file")
  read -r -a p <<<"$(cut -d' ' -f1 "$file" | quantiles)"
  read -r -a h <<<"$(cut -d' ' -f2 "$file" | quantiles)"
  read -r -a r <<<"$(awk '{ print $1 / $2 }' "$file" | quantiles)"
  printf '%s\n  program %.1f %s (middle half %.1f-%.1f), hello %.1f %s (%.1f-%.1f)\n' \
    "$name" "${p[1]}" "$unit" "${p[0]}" "${p[2]}" "${h[1]}" "$unit" "${h[0]}" "${h[2]}"
  printf '  ratio of medians %.2fx; ratio per pair: median %.2fx (middle half %.2f-%.2fx); %d pairs\n' \
    "$(awk -v a="${p[1]}" -v b="${h[1]}" 'BEGIN { print a / b }')" "${r[1]}" "${r[0]}" "${r[2]}" "$n"
}

# run_pairs LABEL PROGRAM_COMMAND... -- HELLO_COMMAND...: runs both in turns
# and writes $scratch/LABEL-{program,hello} (startwatch's line per run).
run_pairs() {
  local label=$1; shift
  local program=() hello=()
  while [ "$1" != -- ]; do program+=("$1"); shift; done
  shift; hello=("$@")
  : >"$scratch/$label-program"; : >"$scratch/$label-hello"
  # One of each first, not counted: the caches warm and the store exists.
  # The program's window is the one titled FerroWinder, a key pressed on its
  # splash; WATCH_PROGRAM="" times another program's first window.
  local watch_program=(${WATCH_PROGRAM--k -m FerroWinder})
  "$watch" "${watch_program[@]}" -- "${program[@]}" >/dev/null || true
  "$watch" -- "${hello[@]}" >/dev/null || true
  # A run that fails (the program died, or no window came) drops its pair;
  # the report says how many.
  local i a b failed=0
  for ((i = 1; i <= pairs; i++)); do
    a=$("$watch" "${watch_program[@]}" -- "${program[@]}") || { failed=$((failed + 1)); continue; }
    b=$("$watch" -- "${hello[@]}") || { failed=$((failed + 1)); continue; }
    echo "$a" >>"$scratch/$label-program"
    echo "$b" >>"$scratch/$label-hello"
  done
  [ "$failed" -eq 0 ] || echo "  $failed of $pairs pairs dropped: a run failed (see above)"
  # The runs themselves, kept to look at or to pool with other runs.
  cp "$scratch/$label-program" "$scratch/$label-hello" "$out/"
}

# Each run writes a store of its own making, never the user's.
export XDG_DATA_HOME=$scratch/data XDG_RUNTIME_DIR=$scratch/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"

if [ "$what" != wine ]; then
  echo "== Qt under Xvfb: ferrowinder against hello-qt, $pairs pairs"
  run_pairs qt "$out/qt/src/ferrowinder" -- "$out/anchors-qt/hello-qt"
  report "exec -> first window mapped (splash)" ms qt 1 1
  report "exec -> main window mapped (key on the splash; hello: its window)" ms qt 2 1
  report "peak RSS with the main window up" KiB qt 3 3
fi

if [ "$what" != qt ]; then
  echo "== Win32 under Wine, same Xvfb: ferrowinder.exe against hello-win32.exe, $pairs pairs"
  source scripts/wine-prefix.sh
  export WINEPREFIX=$scratch/wine
  setup_wine_prefix "$scratch/wineboot.log"
  wine=/usr/lib/wine/wine64
  # One server, its desktop process and its services for all runs, as a
  # user's session has them: they would otherwise start and stop with each
  # run, which is not the program's cost. A console program waiting for a
  # key keeps them.
  wineserver -p
  # Its input is a pipe held open by this script alone, so nothing outlives
  # the script holding on to the caller's output.
  mkfifo "$scratch/keep"
  "$wine" cmd.exe /c pause <"$scratch/keep" >/dev/null 2>&1 &
  keeper=$!
  exec 9>"$scratch/keep"
  sleep 2
  run_pairs wine "$wine" build/windows/src/ferrowinder.exe -- "$wine" "$out/anchors-win32/hello-win32.exe"
  report "exec -> first top-level window (splash)" ms wine 1 1
  report "exec -> main window mapped (key on the splash; hello: its window)" ms wine 2 1
  report "private memory with the main window up" KiB wine 4 4
  echo "== Floor: the hello on the common controls of version 6 against the plain hello, $pairs pairs"
  WATCH_PROGRAM="" run_pairs floor "$wine" "$out/anchors-win32/hello-win32-controls.exe" -- \
    "$wine" "$out/anchors-win32/hello-win32.exe"
  report "exec -> first top-level window" ms floor 1 1
  report "private memory" KiB floor 4 4
fi
