#!/usr/bin/env bash
# A release build installed as the README says (cmake --install --strip) into
# a throwaway prefix: each program and module stripped, with nothing of the
# tests (the write pause's variable) nor the source folder's path in it, and
# the module folder the installed ferrowinder names, relative to itself and
# derived from the install directories, holding its modules.
# Usage: release-install.sh BUILD-DIR LIBDIR (CMAKE_INSTALL_LIBDIR of that build)
set -uo pipefail
build=$1 libdir=$2
source=$(cd "$(dirname "$0")/../.." && pwd)
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
failed=0
fail() { echo "FAILED: $*"; failed=1; }

cmake --install "$build" --prefix "$prefix" --strip >/dev/null || exit 1
modules=$prefix/$libdir/ferrowinder
for file in "$prefix/bin/ferrowinder" "$prefix/bin/ferrowinder-cli" \
            "$modules/ferrowinder-print.so" "$modules/ferrowinder-registry.so"; do
  if [ ! -f "$file" ]; then
    fail "${file#"$prefix"/} is not installed"
    continue
  fi
  readelf -S --wide "$file" | grep -Eq '\.symtab|\.debug_' && fail "${file#"$prefix"/} is not stripped"
  strings "$file" | grep -q FERROWINDER_TEST && fail "${file#"$prefix"/} holds the tests' write pause"
  strings "$file" | grep -qF "$source" && fail "${file#"$prefix"/} holds the source folder's path"
done
# Qt keeps the folder's name as UTF-16 text.
named=$(strings -el "$prefix/bin/ferrowinder" | grep -m 1 '/ferrowinder$')
[ -f "$prefix/bin$named/ferrowinder-registry.so" ] ||
  fail "ferrowinder looks for its modules in bin$named, which does not hold them"
for program in ferrowinder ferrowinder-cli; do
  "$prefix/bin/$program" --version >/dev/null || fail "the installed $program does not run"
done
exit $failed
