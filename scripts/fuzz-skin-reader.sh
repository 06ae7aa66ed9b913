#!/usr/bin/env bash
# Builds the skin package reader's libFuzzer target with clang (ASan + UBSan) and runs it.
# Usage: scripts/fuzz-skin-reader.sh [seconds]   (default 600; one core; corpus in build-fuzz/corpus)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=$root/build-fuzz
mkdir -p "$out/corpus"
flags="-std=c++20 -g -O1 -fPIC -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined"
clang++ $flags -I"$root/skin" -I"$root/platform" $(pkg-config --cflags Qt6Core) \
  "$root/tests/skin/fuzz/fuzz_skin_reader.cpp" "$root/skin/TLZH.cpp" "$root/skin/TSkinReader.cpp" \
  "$root/skin/TQuickIni.cpp" "$root/platform/GbkText.cpp" $(pkg-config --libs Qt6Core) -o "$out/fuzz_skin_reader"
"$out/fuzz_skin_reader" -max_total_time="${1:-600}" -max_len=65536 -rss_limit_mb=2048 -print_final_stats=1 \
  "$out/corpus"
