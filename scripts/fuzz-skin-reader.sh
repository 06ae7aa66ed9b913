#!/usr/bin/env bash
# Fuzzes the skin package reader and the in-memory ini with libFuzzer under the address and undefined-behaviour
# sanitizers. Usage: scripts/fuzz-skin-reader.sh [seconds] (default 600). Needs clang (installed when missing);
# builds in build-fuzz/.
exec bash "$(dirname "$0")/fuzz.sh" skin-reader "$@"
