#!/usr/bin/env bash
# startup-time.sh [RUNS]: how long Tessarine takes from process start to its main window being
# shown, on a virtual X server. Starts the built application RUNS times (default 5) and prints
# each time and the median, in milliseconds. Settings and sessions go to a throw-away folder.
set -euo pipefail
cd "$(dirname "$0")/.."
# The virtual X server and its tools come with the test command's packages.
scripts/deps.sh --test
runs=${1:-5}
app=build/app/tessarine
[ -x "$app" ] || { echo "Build first: scripts/build.sh build" >&2; exit 1; }
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export XDG_CONFIG_HOME="$scratch/config" XDG_DATA_HOME="$scratch/data"
xvfb-run -a -s "-screen 0 1440x960x24" bash -c '
  times=()
  for _ in $(seq 1 "$1"); do
    start=$(date +%s%N)
    "$2" >/dev/null 2>&1 &
    pid=$!
    until xwininfo -name Tessarine 2>/dev/null | grep -q IsViewable; do
      kill -0 "$pid" 2>/dev/null || { echo "Tessarine exited before showing its window" >&2; exit 1; }
      sleep 0.005
    done
    end=$(date +%s%N)
    kill "$pid"; wait "$pid" 2>/dev/null || true
    ms=$(( (end - start) / 1000000 ))
    times+=("$ms")
    echo "start-up to the first shown window: $ms ms"
  done
  sorted=($(printf "%s\n" "${times[@]}" | sort -n))
  echo "median of $1 runs: ${sorted[$(( $1 / 2 ))]} ms"
' startup "$runs" "$app"
