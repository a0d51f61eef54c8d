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
targets=(hid_descriptor_fuzz session_file_fuzz report_input_fuzz thresholds_fuzz family_profiles_fuzz settings_ini_fuzz)
# thread_safety_check: the clang build also checks the lock marks of the device threads.
# Line tables only: enough for a crash's stack trace, and much quicker to build.
CC=clang CXX=clang++ scripts/build.sh "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 -gline-tables-only -DNDEBUG" -DTESSARINE_BUILD_FUZZ=ON \
  -DTESSARINE_BUILD_APP=OFF -DTESSARINE_BUILD_BENCH=OFF -DTESSARINE_WERROR=ON -DTESSARINE_UNITY=ON \
  -- --target "${targets[@]}" thread_safety_check

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
# The targets run side by side, as many at a time as there are cores, each for its own time, so
# the whole run takes about as long as one target on a machine with a core per target.
run_target() {
  local target=$1 name=${1%_fuzz}
  local corpus="$dir/corpus/$name" log="$dir/$1.log"
  mkdir -p "$corpus"
  "$dir/tests/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$dir/crashes/$name-" "$corpus" "tests/fuzz/seeds/$name" \
    >"$log" 2>&1
}
declare -A running=()
failed=()
wait_for_one() {
  local done_pid code=0
  wait -n -p done_pid "${!running[@]}" || code=$?
  local target=${running[$done_pid]}
  unset "running[$done_pid]"
  if [ "$code" -ne 0 ]; then failed+=("$target"); fi
}
for target in "${targets[@]}"; do
  echo "-- $target for ${seconds}s"
  run_target "$target" &
  running[$!]=$target
  while [ ${#running[@]} -ge "$(nproc)" ]; do wait_for_one; done
done
while [ ${#running[@]} -gt 0 ]; do wait_for_one; done
status=0
for target in "${targets[@]}"; do
  if printf '%s\n' "${failed[@]}" | grep -qx "$target"; then
    tail -n 60 "$dir/$target.log"
    echo "$target FAILED (input saved in $dir/crashes)"
    status=1
  else
    echo "$target: $(grep -hE "Done [0-9]+ runs" "$dir/$target.log" || true)"
  fi
done
exit $status
