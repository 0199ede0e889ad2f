# Runs ctest and, when FERRO_TALLY names a file, adds its counts there, so
# that scripts/test can close with the totals of every stage.
# Sourced by scripts/test and scripts/test-windows.

tally_ctest() {
  local out rc=0
  out=$(mktemp)
  # A log file rather than a pipe: Wine's services may hold a pipe open.
  ctest "$@" --output-log "$out" || rc=$?
  if [ -n "${FERRO_TALLY:-}" ]; then
    local counts total failed skipped
    counts=$(grep -oE '[0-9]+ tests failed out of [0-9]+' "$out" | tail -n 1)
    failed=${counts%% *}
    total=${counts##* }
    skipped=$(grep -c '(Skipped)$' "$out" || true)
    echo "${total:-0} ${failed:-0} ${skipped:-0}" >>"$FERRO_TALLY"
  fi
  rm -f "$out"
  return "$rc"
}
