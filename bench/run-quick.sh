#!/usr/bin/env bash
# Runs every benchmark of a build once, at its smallest size (QUORIN_BENCH_QUICK=1), to see that each still runs
# to its end: a benchmark that crashes, ends with a failing status (a leak, in a sanitizer build), reports an error
# (a question left unanswered among them) or runs past the time limit fails the run. Timings are not judged. Each runs offscreen in a fresh working and temporary folder, removed after.
#
#   bench/run-quick.sh BUILD_FOLDER      (QUORIN_BENCH_LIMIT: seconds each may take, 120 by default)
set -uo pipefail

build=$(realpath "${1:?usage: bench/run-quick.sh BUILD_FOLDER}")
limit=${QUORIN_BENCH_LIMIT:-120}
mapfile -t benches < <(find "$build/bench" -type f -executable -name 'bench_*' | sort)
if [ ${#benches[@]} -eq 0 ]; then
  echo "run-quick: no benchmarks under $build/bench" >&2
  exit 1
fi

failed=()
for bench in "${benches[@]}"; do
  name=$(basename "$bench")
  work=$(mktemp -d)
  start=$SECONDS
  (cd "$work" && TMPDIR="$work" QUORIN_BENCH_QUICK=1 QT_QPA_PLATFORM=offscreen \
     timeout --kill-after=10 "$limit" "$bench" --benchmark_min_time=0 >"$work/out.txt" 2>&1)
  status=$?
  took=$((SECONDS - start))
  verdict=ok
  if [ $status -eq 124 ] || [ $status -eq 137 ]; then
    verdict="did not end within ${limit} s"
  elif [ $status -ne 0 ]; then
    verdict="ended with status $status"
  elif grep -q 'ERROR OCCURRED' "$work/out.txt"; then
    verdict="reported an error"
  fi
  echo "run-quick: $name: $verdict (${took} s)"
  if [ "$verdict" != ok ]; then
    failed+=("$name")
    sed 's/^/    /' "$work/out.txt" | tail -n 40
  fi
  rm -rf "$work"
done

if [ ${#failed[@]} -ne 0 ]; then
  echo "run-quick: ${#failed[@]} of ${#benches[@]} benchmarks failed: ${failed[*]}" >&2
  exit 1
fi
echo "run-quick: all ${#benches[@]} benchmarks ran to their end"
