#!/usr/bin/env bash
# idle-cpu.sh [SECONDS]: how much of one core the running application takes while it sits on the
# demo controller's bench with the demo playing and nobody touching it. Starts the built
# application (build/app/tessarine, as scripts/run.sh does) through scripts/demo-bench.sh, lets
# it settle for 3 s after its window appears, then reads the process's CPU time over SECONDS
# (default 10) of wall time and prints the share of one core. The target is under 10 %. A
# measuring tool: not part of the test command.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-10}

scripts/demo-bench.sh idle-cpu build/app/tessarine bash -c '
  set -euo pipefail
  seconds=$1 pid=$DEMO_PID
  sleep 3
  # Fields 14 and 15 of /proc/PID/stat: user and system time in clock ticks. The name (field 2)
  # may hold blanks, so count from the closing parenthesis.
  ticks() { sed "s/.*) //" "/proc/$pid/stat" | awk "{print \$12 + \$13}"; }
  hz=$(getconf CLK_TCK)
  before=$(ticks); start=$(date +%s.%N)
  sleep "$seconds"
  after=$(ticks); end=$(date +%s.%N)
  awk -v used=$((after - before)) -v hz="$hz" -v start="$start" -v end="$end" "BEGIN {
    cpu = used / hz; wall = end - start
    printf \"idle-cpu: %.2f s of CPU in %.1f s: %.1f %% of one core (target under 10 %%)\n\", cpu, wall, 100 * cpu / wall
  }"
' idle-cpu "$seconds"
