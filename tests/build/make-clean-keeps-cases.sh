#!/usr/bin/env bash
# `make clean` as a user runs it, on a scratch copy of the Makefile and its script (never on this build): the
# build folder whose staged program folder the user ran keeps the settings, cases, comments, floor plans and
# photographs there and loses everything else; a build folder without them goes whole; a link goes as a link.
#
# Usage: make-clean-keeps-cases.sh SOURCE_FOLDER
set -euo pipefail
src=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
tree=$work/tree
mkdir -p "$tree/scripts" "$work/elsewhere"
cp "$src/Makefile" "$tree/"
cp "$src/scripts/clean-build.sh" "$tree/scripts/"

put() { mkdir -p "$(dirname "$1")" && printf '%s' "$2" > "$1"; }
b=$tree/build
put "$b/CMakeCache.txt" cache
put "$b/calendar/libquorin_calendar.a" object
put "$b/Quorin/quorin" program
put "$b/Quorin/skins/Mx1.skn" skin
put "$b/Quorin/dat/Quorin.db" cases
put "$b/Quorin/dat/set.ini" settings
put "$b/Quorin/Quorin_f/张三_198005060708.rtf" comment
put "$b/Quorin/Quorin_f/张三_198005060708.bmp" plan
put "$b/Quorin/picTemp/step1.bmp" step
put "$b/Quorin/compass/我的罗盘.jpg" photograph
put "$work/elsewhere/kept.txt" "the user's own file"
ln -s "$work/elsewhere" "$b/link-to-elsewhere"
put "$tree/build-sanitize/Quorin/quorin" program

said=$(LC_ALL=C make -s -C "$tree" clean)

failed=0
expect() { # what, expected, actual
  if [ "$2" != "$3" ]; then
    printf 'FAIL: %s\n  expected: %s\n  actual:   %s\n' "$1" "$2" "$3"
    failed=1
  fi
}
left=$(cd "$tree" && { find build build-sanitize 2>/dev/null || true; } | LC_ALL=C sort | tr '\n' ' ')
expect "what is left" "build build/Quorin build/Quorin/Quorin_f build/Quorin/Quorin_f/张三_198005060708.bmp \
build/Quorin/Quorin_f/张三_198005060708.rtf build/Quorin/compass build/Quorin/compass/我的罗盘.jpg build/Quorin/dat \
build/Quorin/dat/Quorin.db build/Quorin/dat/set.ini build/Quorin/picTemp build/Quorin/picTemp/step1.bmp " "$left"
expect "a file behind a link" "the user's own file" "$(cat "$work/elsewhere/kept.txt" 2>/dev/null)"
expect "said what it kept" yes "$(grep -q "kept .*build/Quorin/dat .*build/Quorin/Quorin_f" <<<"$said" && echo yes)"
exit $failed
