#!/usr/bin/env bash
# Runs a test program on a private X server with a window manager, as a desktop user has them:
#   under-window-manager.sh WIDTHxHEIGHT SCALE PROGRAM [ARGS...]
# The screen is WIDTHxHEIGHT device pixels, scaled by SCALE; the test is told the window manager's process id
# in QUORIN_TEST_BUSY_WM, so that it can hold the manager busy for a moment as a loaded desktop does.
set -u
size=$1
scale=$2
shift 2

work=$(mktemp -d)
wm=""
xvfb=""
cleanup() {
  [ -n "$wm" ] && kill -CONT "$wm" 2>/dev/null && kill "$wm" 2>/dev/null
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# The server picks a free display itself and writes its number once it accepts clients.
Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 50); do
  [ -s "$work/display" ] && break
  sleep 0.1
done
[ -s "$work/display" ] || { echo "Xvfb did not start"; exit 1; }
export DISPLAY=":$(head -n1 "$work/display")"

HOME="$work" openbox >/dev/null 2>&1 &
wm=$!
sleep 1

QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR="$scale" QUORIN_TEST_BUSY_WM="$wm" "$@"
