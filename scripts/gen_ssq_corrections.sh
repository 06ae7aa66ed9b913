#!/bin/sh
# Regenerates calendar/SsqCorrections.cpp, the correction texts of the calendar engine, with the engine itself.
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
cal="$root/calendar"
g++ -std=c++20 -O2 -I"$cal" "$root/scripts/gen_ssq_corrections.cpp" "$cal/Eph.cpp" "$cal/EphSeries.cpp" \
    "$cal/SSQ_class.cpp" "$cal/SsqCorrections.cpp" -o "$tmp/gen"
"$tmp/gen" > "$tmp/SsqCorrections.cpp"
mv "$tmp/SsqCorrections.cpp" "$cal/SsqCorrections.cpp"
echo "wrote $cal/SsqCorrections.cpp"
