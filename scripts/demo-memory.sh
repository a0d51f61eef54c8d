#!/usr/bin/env bash
# demo-memory.sh [MINUTES] [APP]: how the application's resident size moves while the demo plays.
# Starts the built application (default build/app/tessarine; give APP to measure a copy, so a
# rebuild during a long run does not matter) on a virtual X server with a throw-away settings and
# data folder, on the demo controller's bench with nobody touching it, and samples its resident
# size every 10 s for MINUTES (default 10) of wall time. Prints one table row per sample (elapsed
# time, resident size in MB) and a summary of the first sample and the sizes at 10, 30 and 60
# minutes where the run reached them. Every log and trail the running application keeps has a
# fixed cap, so after the caps fill the size should stay flat. A measuring tool: not part of the
# test command.
set -euo pipefail
cd "$(dirname "$0")/.."
minutes=${1:-10}
app=$(realpath "${2:-build/app/tessarine}")
[ -x "$app" ] || { echo "demo-memory: build the application first (scripts/build.sh build)" >&2; exit 1; }
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/config" "$scratch/data"
export XDG_CONFIG_HOME="$scratch/config" XDG_DATA_HOME="$scratch/data"

xvfb-run -a -s "-screen 0 1440x960x24" bash -c '
  set -euo pipefail
  scratch=$1 app=$2 minutes=$3
  # The test command runs Qt offscreen; this run needs the real X server.
  QT_QPA_PLATFORM=xcb "$app" >"$scratch/app.log" 2>&1 &
  pid=$!
  trap "kill $pid 2>/dev/null || true; wait $pid 2>/dev/null || true" EXIT
  for _ in $(seq 1 600); do
    xdotool search --onlyvisible --name "^Tessarine$" >/dev/null 2>&1 && break
    kill -0 $pid 2>/dev/null || { echo "demo-memory: the application ended at start"; cat "$scratch/app.log"; exit 1; }
    sleep 0.1
  done
  xdotool search --onlyvisible --name "^Tessarine$" >/dev/null 2>&1 ||
    { echo "demo-memory: the main window did not appear"; cat "$scratch/app.log"; exit 1; }
  rss() { awk "/^VmRSS:/ { printf \"%.1f\", \$2 / 1024 }" "/proc/$pid/status"; }
  samples=$((minutes * 6))
  printf "%8s  %8s\n" "elapsed" "RSS MB"
  start=$(date +%s)
  for i in $(seq 0 "$samples"); do
    # Sample on a fixed 10 s grid from the start, whatever the sampling itself takes.
    now=$(date +%s); wait_s=$((start + i * 10 - now))
    [ "$wait_s" -gt 0 ] && sleep "$wait_s"
    kill -0 $pid 2>/dev/null || { echo "demo-memory: the application ended after $((i * 10)) s"; cat "$scratch/app.log"; exit 1; }
    value=$(rss)
    printf "%5d:%02d  %8s\n" $((i * 10 / 60)) $((i * 10 % 60)) "$value"
    echo "$((i * 10)) $value" >>"$scratch/samples"
  done
  awk "BEGIN { n = split(\"0 600 1800 3600\", marks, \" \") }
       { at[\$1] = \$2; last = \$1 }
       END {
         printf \"summary:\"
         for (k = 1; k <= n; k++) if (marks[k] in at) printf \" %d min %s MB;\", marks[k] / 60, at[marks[k]]
         printf \" end (%d min %d s) %s MB\n\", last / 60, last % 60, at[last]
       }" "$scratch/samples"
' demo-memory "$scratch" "$app" "$minutes"
