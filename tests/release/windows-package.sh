#!/usr/bin/env bash
# The Windows download as a user gets it. Built a second time, from a copy of
# the sources in another folder, it has the same bytes (the commit's time is
# the only time in it); its file list is the one shipped; its text files have
# CR LF line ends; its checksum file checks; each exe carries the commit's time.
# Usage: windows-package.sh SOURCE_DIR PRESET (a Windows preset, built).
set -euo pipefail
source_dir=$(realpath "$1")
preset=$2
build=$source_dir/build/$preset
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
package=$(sed -n 's/^set(CPACK_PACKAGE_FILE_NAME "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")
[[ $package == FerroWinder-$version-* ]] || { echo "FAILED: package name '$package' lacks the version $version"; exit 1; }
epoch=$(git -C "$source_dir" log -1 --format=%ct)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
fail() {
  echo "FAILED: $*"
  failed=1
}

cmake --build "$build" --target package >/dev/null

echo "== The same package from a copy of the sources in another folder"
mkdir -p "$work/copy"
(cd "$source_dir" && git ls-files -z -c -o --exclude-standard |
  tar --null --ignore-failed-read -T - -cf - 2>/dev/null) | tar -C "$work/copy" -xf -
(
  cd "$work/copy"
  export SOURCE_DATE_EPOCH=$epoch  # the copy has no history to take it from
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$(nproc)" --target ferrowinder ferrowinder-cli >/dev/null
  cd "build/$preset" && cpack >/dev/null
)
for file in "$package.zip" "$package-SHA256SUMS"; do
  if cmp -s "$build/$file" "$work/copy/build/$preset/$file"; then
    echo "same bytes: $file $(sha256sum <"$build/$file" | cut -c1-64)"
  else
    fail "$file differs between the two builds"
    mkdir -p "$work/a" "$work/b"
    unzip -q -o "$build/$package.zip" -d "$work/a" && unzip -q -o "$work/copy/build/$preset/$package.zip" -d "$work/b"
    diff -rq "$work/a" "$work/b" || true
    zipinfo -T "$build/$package.zip" | head -n 5
  fi
done

echo "== The package's contents"
# The programs, the read-me and the documents, and deploy/ as it stands in the sources.
expected=$( (printf '%s\n' ferrowinder.exe ferrowinder-cli.exe README.txt LICENSE.txt THIRD-PARTY-NOTICES.txt CHANGELOG.md
             cd "$source_dir" && find deploy -type f) | sed "s|^|$package/|" | sort)
actual=$(unzip -Z1 "$build/$package.zip" | grep -v '/$' | sort)
diff <(echo "$expected") <(echo "$actual") || fail "the zip's files are not the ones shipped (< wanted, > in the zip)"

mkdir -p "$work/unpacked"
unzip -q "$build/$package.zip" -d "$work/unpacked"
while IFS= read -r text; do
  if grep -qv $'\r$' "$work/unpacked/$text"; then
    fail "$text has a line without CR LF"
  fi
done < <(grep -E '\.(txt|md|cmd|ps1)$' <<<"$actual")

(cd "$build" && sha256sum -c "$package-SHA256SUMS") || fail "sha256sum -c $package-SHA256SUMS"

wanted_time=$(TZ=UTC date -d "@$epoch" '+%a %b %e %H:%M:%S %Y')
for exe in ferrowinder.exe ferrowinder-cli.exe; do
  stamp=$(TZ=UTC x86_64-w64-mingw32-objdump -p "$work/unpacked/$package/$exe" | sed -n 's/^Time\/Date[[:space:]]*//p')
  [[ $stamp == "$wanted_time" ]] || fail "$exe's TimeDateStamp is '$stamp', not the commit's time '$wanted_time'"
done
exit $failed
