#!/usr/bin/env bash
# ferrowinder on Linux: --help and --version answer without a window, and a
# start without a usable display says so and exits 1 (Qt alone aborts, 134).
set -uo pipefail
program=$1
out=$(mktemp)
err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT
failed=0

# expect CODE STREAM TEXT -- ENVIRONMENT... PROGRAM-ARGS...
expect() {
  local code=$1 stream=$2 text=$3
  shift 4
  local env=()
  while (($#)) && [[ $1 == *=* ]]; do env+=("$1"); shift; done
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "${env[@]}" timeout 20 "$program" "$@" >"$out" 2>"$err"
  local got=$?
  local file=$out
  [[ $stream == err ]] && file=$err
  if [[ $got != "$code" ]] || ! grep -q -- "$text" "$file"; then
    echo "FAILED: ${env[*]} ferrowinder $*: exit $got (expected $code), $stream lacks '$text'"
    cat "$out" "$err"
    failed=1
  fi
}

expect 0 out '^Usage: ferrowinder \[--help\] \[--version\]' -- --help
expect 0 out '^ferrowinder [0-9]\+\.[0-9]\+\.[0-9]\+$' -- --version
expect 0 out '^ferrowinder [0-9]' -- -V
expect 0 out '^License MIT: <https://opensource.org/licenses/MIT>$' -- --version
expect 1 err 'no display to show the windows on' --
expect 1 err 'the display could not be opened (DISPLAY=:97' -- DISPLAY=:97
exit $failed
