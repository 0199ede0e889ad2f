#!/usr/bin/env bash
# What Google Benchmark cannot see: flushes to disk (strace) and peak memory
# (/usr/bin/time). Usage: bench/cli_figures.sh CLI BENCH [VALUES_IN_BIG_FILE]
#   CLI   ferrowinder-cli to measure, BENCH the ferro_bench built beside it
# Targets: apply to a new store at most 40 flushes; import of 100,000 values
# at most 4 flushes and peak memory at most 3 times the file.
set -euo pipefail
cli=$(realpath "$1")
bench=$(realpath "$2")
big=${3:-4000000}
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cd "$dir"

flushes() { strace -f -c -e trace=fsync,fdatasync "$@" 2>&1 >/dev/null | awk '/total/ {print $4}'; }
peak() { /usr/bin/time -f "%M" "$@" 2>&1 >/dev/null | tail -n 1; }
# .reg text of $1 small values, 100 to a key; $2 = "bad" ends it with a bad line.
regfile() {
  awk -v n="$1" -v bad="${2:-}" 'BEGIN {
    printf "Windows Registry Editor Version 5.00\r\n"
    for (i = 0; i < n; i++) {
      if (i % 100 == 0) printf "\r\n[HKEY_LOCAL_MACHINE\\Software\\FerroBench\\Key%d]\r\n", i / 100
      printf "\"Value%d\"=\"data %d\"\r\n", i % 100, i
    }
    if (bad) printf "\"Last\"=nonsense\r\n"
  }'
}
"$bench" --same-commits-sql > same.sql
regfile 100000 > v100k.reg
regfile "$big" bad > big-bad.reg

echo "flushes, apply to a new store:           $(flushes "$cli" apply --speed 57 --registry new.db)"
echo "flushes, the same commits by sqlite3:    $(flushes sqlite3 -bail shell.db < same.sql)"
echo "flushes, import of 100,000 values into an existing store: $(flushes "$cli" import v100k.reg --registry new.db)"
rm -f new.db*
echo "flushes, import of 100,000 values into a new store:       $(flushes "$cli" import v100k.reg --registry new.db)"
rm -f new.db*
"$cli" apply --speed 57 --registry new.db >/dev/null
kb=$(( $(stat -c %s v100k.reg) / 1024 ))
echo "peak memory, import of 100,000 values ($kb KB file): $(peak "$cli" import v100k.reg --registry new.db) KB"
kb=$(( $(stat -c %s big-bad.reg) / 1024 ))
echo "peak memory, reading $big values ($kb KB file, refused at its last line): $(peak "$cli" import big-bad.reg --registry new.db) KB"
echo "peak memory, plan (the program alone): $(peak "$cli" plan --speed 57) KB"
