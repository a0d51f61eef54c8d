#!/usr/bin/env bash
# demo-memory.sh [MINUTES] [APP]: how the application's resident size moves while the demo plays.
# Starts the built application (default build/app/tessarine; give APP to measure a copy, so a
# rebuild during a long run does not matter) through scripts/demo-bench.sh, on the demo
# controller's bench with nobody touching it, and samples its resident size every 10 s for MINUTES
# (default 10) of wall time. Prints one table row per sample (elapsed time, resident size in MB)
# and a summary of the first sample and the sizes at 10, 30 and 60 minutes where the run reached
# them. Every log and trail the running application keeps has a fixed cap, so after the caps fill
# the size should stay flat. A measuring tool: not part of the test command.
set -euo pipefail
cd "$(dirname "$0")/.."
minutes=${1:-10}

scripts/demo-bench.sh demo-memory "${2:-build/app/tessarine}" bash -c '
  set -euo pipefail
  minutes=$1 pid=$DEMO_PID
  rss() { awk "/^VmRSS:/ { printf \"%.1f\", \$2 / 1024 }" "/proc/$pid/status"; }
  samples=$((minutes * 6))
  printf "%8s  %8s\n" "elapsed" "RSS MB"
  start=$(date +%s)
  for i in $(seq 0 "$samples"); do
    # Sample on a fixed 10 s grid from the start, whatever the sampling itself takes.
    now=$(date +%s); wait_s=$((start + i * 10 - now))
    [ "$wait_s" -gt 0 ] && sleep "$wait_s"
    kill -0 $pid 2>/dev/null ||
      { echo "demo-memory: the application ended after $((i * 10)) s"; cat "$DEMO_SCRATCH/app.log"; exit 1; }
    value=$(rss)
    printf "%5d:%02d  %8s\n" $((i * 10 / 60)) $((i * 10 % 60)) "$value"
    echo "$((i * 10)) $value" >>"$DEMO_SCRATCH/samples"
  done
  awk "BEGIN { n = split(\"0 600 1800 3600\", marks, \" \") }
       { at[\$1] = \$2; last = \$1 }
       END {
         printf \"summary:\"
         for (k = 1; k <= n; k++) if (marks[k] in at) printf \" %d min %s MB;\", marks[k] / 60, at[marks[k]]
         printf \" end (%d min %d s) %s MB\n\", last / 60, last % 60, at[last]
       }" "$DEMO_SCRATCH/samples"
' demo-memory "$minutes"
