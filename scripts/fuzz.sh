#!/usr/bin/env bash
# fuzz.sh [seconds]: builds the libFuzzer targets with clang in build-fuzz (and has clang check the
# thread-safety marks of the shared state on the way) and runs each target for a short
# while (20 s by default), starting from its corpus kept in tests/fuzz/seeds/<name>. Exits non-zero
# when a target crashes, hangs, leaks or breaks one of its checks; the failing input is left in
# build-fuzz/crashes. New inputs a run finds collect in build-fuzz/corpus/<name>.
#
# fuzz.sh --merge: folds what the runs found into tests/fuzz/seeds, minimised (libFuzzer's
# -merge=1 keeps only inputs that reach code no smaller input reaches; hit counts are left out so
# the kept corpus stays a few hundred small files), so the next run starts where this one ended.
set -euo pipefail
cd "$(dirname "$0")/.."
merge=false
if [ "${1:-}" = "--merge" ]; then
  merge=true
  shift
fi
seconds=${1:-20}
dir=build-fuzz
if [ ! -f "$dir/build.ninja" ]; then
  CC=clang CXX=clang++ cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTESSARINE_BUILD_FUZZ=ON -DTESSARINE_BUILD_APP=OFF -DTESSARINE_BUILD_BENCH=OFF >/dev/null
fi
targets=(hid_descriptor_fuzz session_file_fuzz thresholds_fuzz family_profiles_fuzz)
# thread_safety_check: the clang build also checks the lock marks of the device threads.
cmake --build "$dir" -j "$(nproc)" --target "${targets[@]}" thread_safety_check

if $merge; then
  for target in "${targets[@]}"; do
    name=${target%_fuzz}
    seeds="tests/fuzz/seeds/$name"
    merged=$(mktemp -d)
    mkdir -p "$seeds" "$dir/corpus/$name"
    "$dir/tests/fuzz/$target" -merge=1 -use_counters=0 "$merged" "$seeds" "$dir/corpus/$name" >/dev/null 2>&1
    rm -f "$seeds"/*
    cp "$merged"/* "$seeds"/
    rm -rf "$merged"
    echo "$name: $(ls "$seeds" | wc -l) inputs, $(( $(cat "$seeds"/* | wc -c) / 1024 )) KiB"
  done
  exit 0
fi

mkdir -p "$dir/crashes"
for target in "${targets[@]}"; do
  name=${target%_fuzz}
  corpus="$dir/corpus/$name"
  mkdir -p "$corpus"
  echo "-- $target for ${seconds}s"
  log="$dir/$target.log"
  if ! "$dir/tests/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -print_final_stats=1 -artifact_prefix="$dir/crashes/$name-" "$corpus" "tests/fuzz/seeds/$name" \
      >"$log" 2>&1; then
    tail -n 60 "$log"
    echo "$target FAILED (input saved in $dir/crashes)"
    exit 1
  fi
  grep -E "stat::number_of_executed_units|Done [0-9]+ runs" "$log" || true
done
