#!/usr/bin/env bash
# What software centres, menus and Windows read of the program: the AppStream
# metainfo passes appstreamcli (infos too), its newest release is the
# project's version, the menu entry passes desktop-file-validate and has
# keywords, and the icons have the sizes desktops and Windows' scalings ask for.
# Usage: desktop-metadata.sh RESOURCES-DIR PROJECT-VERSION
set -uo pipefail
resources=$1 version=$2
failed=0
fail() { echo "FAILED: $*"; failed=1; }

metainfo=$resources/io.github.hollowmere.ferrowinder.metainfo.xml
appstreamcli validate --no-net --strict --pedantic "$metainfo" || fail "appstreamcli validate $metainfo"
newest=$(grep -m 1 -o '<release version="[^"]*"' "$metainfo" | cut -d'"' -f2)
[ "$newest" = "$version" ] || fail "the metainfo's newest release is '$newest', the project's version $version"
grep -q '<launchable type="desktop-id">ferrowinder.desktop</launchable>' "$metainfo" ||
  fail "the metainfo does not launch ferrowinder.desktop"

desktop=$resources/ferrowinder.desktop
problems=$(desktop-file-validate "$desktop" 2>&1) && [ -z "$problems" ] || fail "desktop-file-validate: $problems"
grep -q '^Keywords=..*;$' "$desktop" || fail "$desktop has no Keywords="

# Little-endian numbers of a file: number FILE OFFSET BYTES
number() { od -An -tu"$3" -j "$2" -N "$3" --endian=little "$1" | tr -d ' '; }
big_endian() { od -An -tu4 -j "$2" -N 4 --endian=big "$1" | tr -d ' '; }
png=$resources/ferrowinder-48.png
[ "$(big_endian "$png" 16)x$(big_endian "$png" 20)" = 48x48 ] || fail "$png is not 48x48"
# An icon file's directory: a count, then 16 bytes per image (a width of 0 is 256).
ico=$resources/ferrowinder.ico
sizes=()
for ((i = 0; i < $(number "$ico" 4 2); i++)); do
  width=$(number "$ico" $((6 + 16 * i)) 1)
  sizes+=($((width ? width : 256)))
done
[ "${sizes[*]}" = "16 20 24 32 40 48 64 256" ] || fail "$ico holds ${sizes[*]} pixels, not 16 20 24 32 40 48 64 256"
exit $failed
