#!/usr/bin/env bash
# idle-cpu.sh [SECONDS]: how much of one core the running application takes while it sits on the
# demo controller's bench with the demo playing and nobody touching it. Starts the built
# application (build/app/tessarine, as scripts/run.sh does) on a virtual X server with a
# throw-away settings and data folder, lets it settle for 3 s after its window appears, then
# reads the process's CPU time over SECONDS (default 10) of wall time and prints the share of
# one core. The target is under 10 %. A measuring tool: not part of the test command.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-10}
app=$(realpath build/app/tessarine)
[ -x "$app" ] || { echo "idle-cpu: build the application first (scripts/build.sh build)" >&2; exit 1; }
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/config" "$scratch/data"
export XDG_CONFIG_HOME="$scratch/config" XDG_DATA_HOME="$scratch/data"

xvfb-run -a -s "-screen 0 1440x960x24" bash -c '
  set -euo pipefail
  scratch=$1 app=$2 seconds=$3
  # The test command runs Qt offscreen; this run needs the real X server.
  QT_QPA_PLATFORM=xcb "$app" >"$scratch/app.log" 2>&1 &
  pid=$!
  trap "kill $pid 2>/dev/null || true; wait $pid 2>/dev/null || true" EXIT
  for _ in $(seq 1 600); do
    xdotool search --onlyvisible --name "^Tessarine$" >/dev/null 2>&1 && break
    kill -0 $pid 2>/dev/null || { echo "idle-cpu: the application ended at start"; cat "$scratch/app.log"; exit 1; }
    sleep 0.1
  done
  xdotool search --onlyvisible --name "^Tessarine$" >/dev/null 2>&1 ||
    { echo "idle-cpu: the main window did not appear"; cat "$scratch/app.log"; exit 1; }
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
' idle-cpu "$scratch" "$app" "$seconds"
