#!/usr/bin/env bash
# Installs missing packages, then builds and checks everything: an optimised build of the programs,
# the view gallery and the benchmarks, whose programs are checked and driven under a real X server
# and over the accessibility bus; every test suite, once, under AddressSanitizer +
# UndefinedBehaviorSanitizer (which see every fault a plain run sees, and more); the suites that
# start real threads (ctest label "threads") under ThreadSanitizer; a short fuzzing run built with
# clang, which also checks the lock marks; last, the Debian package of the optimised build's
# programs (stripped as they are packaged, no build of its own) and its checks. The sanitizer
# passes are built with clang. Each configuration is built once, and only with the targets its
# pass runs, so it fits a 2-core machine. Warnings in
# our own code are errors here (TESSARINE_WERROR), and only here.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh --test
export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)
status=0
failed_passes=()
log=$(mktemp)
tails=$(mktemp)
trap 'rm -f "$log" "$tails"' EXIT
# Marks a pass as failed, so the closing lines name it: CI shows only the end of the output.
pass_failed() { status=1; failed_passes+=("$1"); }
# Runs a pass whose failure ctest does not summarise; when it fails, the end of what it said is
# repeated at the close.
run_pass() {
  local name=$1 out
  shift
  out=$(mktemp)
  if "$@" 2>&1 | tee "$out"; then rm -f "$out"; return; fi
  pass_failed "$name"
  { echo "-- the end of the $name's output:"; tail -n 15 "$out"; } >>"$tails"
  rm -f "$out"
}
started=$SECONDS
# Line tables only (-g1): enough for the sanitizers' and a crash's stack traces, and a quarter
# quicker to compile than full debug information, with builds a fraction of the size.
lines_only=-g1
clang_lines_only=-gline-tables-only
# The sanitizer builds use clang: unoptimised and instrumented, it compiles our code in about 60 %
# of GCC's time, and its AddressSanitizer has found a use of the stack past its scope that GCC's
# missed. The optimised build, which ships, stays with GCC, and its warnings are errors there.
# Libraries and test programs as unity builds: a few files to a unit, about a quarter of the
# compile time.
unity=-DTESSARINE_UNITY=ON

echo "== normal build: the programs, the gallery and the benchmarks"
# The test suites are built and run in the sanitizer pass alone: a second, optimised run of them
# found nothing the sanitizers do not, and cost a third of the command on two cores.
scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 $lines_only -DNDEBUG" $unity -DTESSARINE_WERROR=ON \
  -- --target tessarine tessarine-report tessarine_documents tessarine-gallery benchmarks
ctest --test-dir build -j "$jobs" -L '^programs$' --output-on-failure --timeout 300 | tee -a "$log" || pass_failed "normal ctest"

echo "== keyboard and mouse testers under a real X server"
run_pass "tester road" scripts/tester-road.sh build/tester-road

echo "== main road under a real X server"
run_pass "main road" scripts/main-road.sh build/main-road

echo "== sessions with texts of megabytes opened in History under a real X server"
run_pass "long-text road" scripts/long-text-road.sh build/long-text-road

echo "== the Compare With picker over 5,000 saved sessions under a real X server"
run_pass "compare road" scripts/compare-road.sh build/compare-road

echo "== every saved session exported while the window answers, under a real X server"
run_pass "export road" scripts/export-road.sh build/export-road 250

echo "== a disk that stops answering under an export, a report and a save, then Quit"
run_pass "stalled-disk road" scripts/stalled-disk-road.sh build/stalled-disk-road

echo "== one window per user under a real X server"
run_pass "instance road" scripts/instance-road.sh build/instance-road

echo "== what a screen reader reads, over the accessibility bus"
run_pass "a11y road" scripts/a11y-road.sh build/a11y-road

echo "== pipes in place of the files read at start, and Quit, under a real X server"
run_pass "start road" scripts/start-road.sh build/start-road

echo "== AddressSanitizer + UndefinedBehaviorSanitizer"
scripts/build.sh build-asan -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug "-DCMAKE_CXX_FLAGS_DEBUG=$clang_lines_only" -DTESSARINE_SANITIZE=address -DTESSARINE_BUILD_BENCH=OFF $unity -DTESSARINE_WERROR=ON \
  -- --target test_programs
# The leak checker's record of dynamically loaded libraries' thread-local blocks is wrong under
# this glibc (a Qt plugin's block reads as gigabytes from address 0xdc0) and crashed its own
# tracer at the exit of a test that passed, depending on where the heap happened to lie. Those
# blocks come from the heap and are reached through each thread's own block, which it still scans;
# only the interception is left out.
ASAN_OPTIONS=detect_leaks=1:intercept_tls_get_addr=0 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-asan -j "$jobs" -LE '^gallery$' --output-on-failure --timeout 600 | tee -a "$log" || pass_failed "ASan ctest"

echo "== ThreadSanitizer (suites labelled \"threads\")"
scripts/build.sh build-tsan -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug "-DCMAKE_CXX_FLAGS_DEBUG=$clang_lines_only" -DTESSARINE_SANITIZE=thread -DTESSARINE_BUILD_BENCH=OFF $unity -DTESSARINE_WERROR=ON \
  -- --target thread_tests
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" \
  ctest --test-dir build-tsan -j "$jobs" -L '^threads$' --output-on-failure --timeout 600 \
  | tee -a "$log" || pass_failed "TSan ctest"

if [ -x scripts/fuzz.sh ]; then
  echo "== clang: thread-safety marks and fuzzing (short run)"
  run_pass "fuzz" scripts/fuzz.sh
fi

echo "== Debian package of the normal build, and its checks"
run_pass "package check" scripts/package-check.sh build

echo "test command took $(( (SECONDS - started) / 60 )) min $(( (SECONDS - started) % 60 )) s on $jobs cores"
# One closing line over the three runs: "tests: N passed, N failed".
read -r total failed < <(awk '/tests passed, [0-9]+ tests failed out of/ {t += $NF; f += $(NF-5)} END {print t+0, f+0}' "$log")
if [ $status -ne 0 ] && [ "$failed" -eq 0 ]; then failed=1; fi
# ctest's own summary of the failed tests, again, where the end of the output shows it.
grep -A50 '^The following tests FAILED:' "$log" | grep -E '^\s+[0-9]+ - ' || true
cat "$tails"
if [ ${#failed_passes[@]} -gt 0 ]; then echo "failed passes: ${failed_passes[*]}"; fi
echo "tests: $((total - failed)) passed, $failed failed"
exit $status
