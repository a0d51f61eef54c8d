#!/usr/bin/env bash
# fuzz.sh [seconds]: builds the libFuzzer targets with clang in build-fuzz and runs each for a short
# while (20 s by default) from its seed inputs. Exits non-zero when a target crashes, leaks or
# breaks one of its checks; the failing input is left in build-fuzz/crashes.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-20}
dir=build-fuzz
if [ ! -f "$dir/build.ninja" ]; then
  CC=clang CXX=clang++ cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTESSARINE_BUILD_FUZZ=ON -DTESSARINE_BUILD_APP=OFF -DTESSARINE_BUILD_BENCH=OFF >/dev/null
fi
targets=(hid_descriptor_fuzz)
cmake --build "$dir" -j "$(nproc)" --target "${targets[@]}"

mkdir -p "$dir/crashes"
for target in "${targets[@]}"; do
  name=${target%_fuzz}
  corpus="$dir/corpus/$name"
  mkdir -p "$corpus"
  echo "-- $target for ${seconds}s"
  log="$dir/$target.log"
  if ! "$dir/tests/fuzz/$target" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
      -artifact_prefix="$dir/crashes/$name-" "$corpus" "tests/fuzz/seeds/$name" >"$log" 2>&1; then
    tail -n 60 "$log"
    echo "$target FAILED (input saved in $dir/crashes)"
    exit 1
  fi
  grep -E "stat::number_of_executed_units|Done [0-9]+ runs" "$log" || true
done
