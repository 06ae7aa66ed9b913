#!/usr/bin/env bash
# Removes build folders (make clean), except what a user keeps in the program folder staged in each: `make run`
# starts the program from <build>/Quorin/, whose writable folders then hold the user's settings and case file
# (dat/), each case's comments and floor plan (Quorin_f/), the floor plan's steps (picTemp/) and the compass
# photographs the user saved (compass/). Those are kept, with the folders above them; everything else goes.
# A link is removed as a link, never followed.
#
# Usage: clean-build.sh BUILD_FOLDER...
set -euo pipefail

kept_names=(dat Quorin_f picTemp compass)
others=()
for name in "${kept_names[@]}"; do
  others+=(! -name "$name")
done

for build in "$@"; do
  if [ ! -e "$build" ] && [ ! -L "$build" ]; then
    continue
  fi
  program="$build/Quorin"
  kept=()
  if [ -d "$build" ] && [ ! -L "$build" ] && [ -d "$program" ] && [ ! -L "$program" ]; then
    for name in "${kept_names[@]}"; do
      if [ -e "$program/$name" ] || [ -L "$program/$name" ]; then
        kept+=("$program/$name")
      fi
    done
  fi
  if [ ${#kept[@]} -eq 0 ]; then
    rm -rf -- "$build"
    continue
  fi
  find "$build" -mindepth 1 -maxdepth 1 ! -name Quorin -exec rm -rf -- {} +
  find "$program" -mindepth 1 -maxdepth 1 "${others[@]}" -exec rm -rf -- {} +
  echo "make clean: kept ${kept[*]}"
  echo "  (the settings, cases and photographs of the program started from $program/; see the README)"
done
