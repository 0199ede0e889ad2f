#!/usr/bin/env bash
# ferrowinder on Linux: --help and --version answer without a window, an
# option neither its own nor Qt's is refused with 2, and a start without a
# usable display says so and exits 1 (Qt alone aborts, 134).
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
expect 0 out '^Usage: ferrowinder' -- --bogus --help
expect 0 out '^ferrowinder [0-9]\+\.[0-9]\+\.[0-9]\+$' -- --version
expect 0 out '^ferrowinder [0-9]' -- -V
expect 1 err 'no display to show the windows on' --
expect 2 err "^ferrowinder: unknown option '--bogus'" -- --bogus
expect 2 err "^ferrowinder: unknown option '--bogus'" -- DISPLAY=:97 --bogus
expect 2 err "^ferrowinder: unknown option '-x'" -- -reverse -x
expect 2 err "^ferrowinder: unexpected argument 'boost.reg'" -- boost.reg
expect 2 err "^ferrowinder: a value is missing after '-style'" -- -style
# Qt's own options, in each of their forms, go on to the display check.
expect 1 err 'no display to show the windows on' -- -reverse --style fusion -qwindowtitle=T -session 1_2
expect 1 err 'the display could not be opened (DISPLAY=:97' -- DISPLAY=:97
exit $failed
