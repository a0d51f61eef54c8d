#!/usr/bin/env bash
# Installs missing packages, then builds and runs the whole test suite three ways: a normal build,
# an AddressSanitizer + UndefinedBehaviorSanitizer build, and the suites that start real threads
# (ctest label "threads") under ThreadSanitizer; then a short fuzzing run built with clang, which
# also checks the lock marks. Each configuration is built once, and only with the targets its
# pass runs, so it fits a 2-core machine.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)
status=0
log=$(mktemp)
trap 'rm -f "$log"' EXIT
started=$SECONDS
# Line tables only (-g1): enough for the sanitizers' and a crash's stack traces, and a quarter
# quicker to compile than full debug information, with builds a fraction of the size.
lines_only=-g1
# Test programs as unity builds: a few files to a unit, about a quarter of the compile time.
unity=-DTESSARINE_UNITY_TESTS=ON

echo "== normal build"
scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 $lines_only -DNDEBUG" $unity
ctest --test-dir build -j "$jobs" --output-on-failure --timeout 300 | tee -a "$log" || status=1

echo "== keyboard and mouse testers under a real X server"
scripts/tester-road.sh build/tester-road || status=1

echo "== main road under a real X server"
scripts/main-road.sh build/main-road || status=1

echo "== what a screen reader reads, over the accessibility bus"
scripts/a11y-road.sh build/a11y-road || status=1

echo "== AddressSanitizer + UndefinedBehaviorSanitizer"
scripts/build.sh build-asan -DCMAKE_BUILD_TYPE=Debug "-DCMAKE_CXX_FLAGS_DEBUG=$lines_only" -DTESSARINE_SANITIZE=address -DTESSARINE_BUILD_BENCH=OFF $unity \
  -- --target test_programs
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-asan -j "$jobs" --output-on-failure --timeout 600 | tee -a "$log" || status=1

echo "== ThreadSanitizer (suites labelled \"threads\")"
scripts/build.sh build-tsan -DCMAKE_BUILD_TYPE=Debug "-DCMAKE_CXX_FLAGS_DEBUG=$lines_only" -DTESSARINE_SANITIZE=thread -DTESSARINE_BUILD_BENCH=OFF $unity \
  -- --target thread_tests
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" \
  ctest --test-dir build-tsan -j "$jobs" -L '^threads$' --output-on-failure --timeout 600 \
  | tee -a "$log" || status=1

if [ -x scripts/fuzz.sh ]; then
  echo "== clang: thread-safety marks and fuzzing (short run)"
  scripts/fuzz.sh || status=1
fi

echo "test command took $(( (SECONDS - started) / 60 )) min $(( (SECONDS - started) % 60 )) s on $jobs cores"
# One closing line over the three runs: "tests: N passed, N failed".
read -r total failed < <(awk '/tests passed, [0-9]+ tests failed out of/ {t += $NF; f += $(NF-5)} END {print t+0, f+0}' "$log")
if [ $status -ne 0 ] && [ "$failed" -eq 0 ]; then failed=1; fi
echo "tests: $((total - failed)) passed, $failed failed"
exit $status
