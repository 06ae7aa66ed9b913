#!/bin/bash
# Fuzzes the RTF reader and writer with libFuzzer under the address and undefined-behaviour sanitizers.
# Usage: scripts/fuzz-rtf.sh [seconds] (default 600). Needs clang; builds in build-fuzz/, one core.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORIN_FUZZ=ON >/dev/null
cmake --build build-fuzz --target fuzz_rtf -j 4
corpus=build-fuzz/rtf-corpus
mkdir -p "$corpus"
cp tests/platform/fixtures/rtf/*.rtf "$corpus/"
build-fuzz/tests/platform/fuzz_rtf -max_total_time="$seconds" -max_len=65536 -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 "$corpus"
