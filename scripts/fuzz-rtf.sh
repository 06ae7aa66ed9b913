#!/usr/bin/env bash
# Fuzzes the RTF reader and writer with libFuzzer under the address and undefined-behaviour sanitizers.
# Usage: scripts/fuzz-rtf.sh [seconds] (default 600). Needs clang (installed when missing); builds in build-fuzz/.
exec bash "$(dirname "$0")/fuzz.sh" rtf "$@"
