#!/usr/bin/env bash
# Builds one libFuzzer driver with clang (address and undefined-behaviour sanitizers) in build-fuzz/ through the
# build system, and runs it on a copy of its shipped corpus (new inputs go to the copy).
# Usage: scripts/fuzz.sh rtf|skin-reader [seconds]   (default 600; one core)
set -euo pipefail
cd "$(dirname "$0")/.."
case "${1:-}" in
  rtf) target=fuzz_rtf; binary=tests/platform/fuzz_rtf; seeds=tests/platform/fixtures/rtf ;;
  skin-reader) target=fuzz_skin_reader; binary=tests/skin/fuzz_skin_reader; seeds=tests/skin/fuzz/corpus ;;
  *) echo "usage: $0 rtf|skin-reader [seconds]" >&2; exit 2 ;;
esac
seconds=${2:-600}
bash scripts/install-deps.sh fuzz
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORIN_FUZZ=ON >/dev/null
cmake --build build-fuzz --target "$target" -j 4
corpus=build-fuzz/$target-corpus
mkdir -p "$corpus"
cp "$seeds"/* "$corpus/"
"build-fuzz/$binary" -max_total_time="$seconds" -max_len=65536 -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 "$corpus"
