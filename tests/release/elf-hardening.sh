#!/usr/bin/env bash
# The Linux programs and modules as built carry the hardening of
# cmake/Hardening.cmake: full RELRO (GNU_RELRO and BIND_NOW), the stack
# protector, FORTIFY's checked calls where the build is optimised, and PIE for
# the programs. Usage: elf-hardening.sh FORTIFIED(yes|no) FILE...
set -uo pipefail
fortified=$1
shift
failed=0

fail() {
  echo "FAILED: $1: $2"
  failed=1
}

for file in "$@"; do
  headers=$(readelf -hlW "$file") || { fail "$file" "not an ELF file"; continue; }
  dynamic=$(readelf -dW "$file")
  symbols=$(readelf --dyn-syms -W "$file")
  grep -q 'GNU_RELRO' <<<"$headers" || fail "$file" "no GNU_RELRO segment (RELRO)"
  grep -Eq '\(FLAGS\).*BIND_NOW|\(FLAGS_1\).* NOW' <<<"$dynamic" || fail "$file" "not BIND_NOW (partial RELRO)"
  grep -q ' __stack_chk_fail' <<<"$symbols" || fail "$file" "no stack protector (__stack_chk_fail)"
  if [[ $fortified == yes ]]; then
    grep -Eq ' __[a-z0-9_]+_chk(@|$)' <<<"$(grep -v __stack_chk_fail <<<"$symbols")" ||
      fail "$file" "no FORTIFY checked call (__*_chk)"
  fi
  if [[ $file != *.so ]]; then
    grep -q 'Type: *DYN' <<<"$headers" && grep -Eq '\(FLAGS_1\).* PIE' <<<"$dynamic" ||
      fail "$file" "not a position-independent executable"
  fi
  echo "checked $file"
done
exit $failed
