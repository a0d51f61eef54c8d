#!/usr/bin/env bash
# startup-time.sh [RUNS] [SESSIONS] [--app PROGRAM]: how long Tessarine takes, on a virtual X
# server, from process start to its main window being shown, and from then to its first answered
# input (scripts/answer-time.py): the moment the window is mapped it is pinged as a window manager
# pings a window it suspects of hanging, and Ctrl+, is pressed, which counts as answered when the
# Settings window it opens is shown (so that figure includes showing Settings). A window whose main
# thread is busy answers both late. Starts the application RUNS times (default 5) over a history
# of SESSIONS saved sessions (default none; each a full check of a pad, written by
# build/bench/seed-history) and prints each time and the medians, in milliseconds. Settings and
# sessions go to a throw-away folder. --app times another build of the program (default
# build/app/tessarine).
set -euo pipefail
cd "$(dirname "$0")/.."
# The virtual X server and its tools come with the test command's packages.
scripts/deps.sh --test
runs=5
sessions=0
app=build/app/tessarine
numbers=()
while [ $# -gt 0 ]; do
  case "$1" in
    --app) app=${2:?--app needs a program}; shift 2 ;;
    *) numbers+=("$1"); shift ;;
  esac
done
[ ${#numbers[@]} -gt 0 ] && runs=${numbers[0]}
[ ${#numbers[@]} -gt 1 ] && sessions=${numbers[1]}
[[ "$runs" =~ ^[1-9][0-9]*$ && "$sessions" =~ ^[0-9]+$ && ${#numbers[@]} -le 2 ]] || {
  echo "Usage: startup-time.sh [RUNS] [SESSIONS] [--app PROGRAM]" >&2
  exit 2
}
[ -x "$app" ] || { echo "Build first: scripts/build.sh build (no program at $app)" >&2; exit 1; }
app=$(realpath "$app")
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export XDG_CONFIG_HOME="$scratch/config" XDG_DATA_HOME="$scratch/data"
if [ "$sessions" -gt 0 ]; then
  seed=build/bench/seed-history
  [ -x "$seed" ] || { echo "Build first: cmake --build build --target seed-history" >&2; exit 1; }
  "$seed" "$scratch/data/com.quenlow.Tessarine/Sessions" "$sessions"
  echo "history: $sessions saved sessions"
fi
xvfb-run -a -s "-screen 0 1440x960x24" bash -c '
  set -euo pipefail
  shown=() ping=() key=()
  for _ in $(seq 1 "$1"); do
    # shown MS / ping MS / key MS, one a line (scripts/answer-time.py).
    result=$(python3 scripts/answer-time.py Tessarine Settings "$2")
    shown+=($(echo "$result" | sed -n "s/^shown //p"))
    ping+=($(echo "$result" | sed -n "s/^ping //p"))
    key+=($(echo "$result" | sed -n "s/^key //p"))
    echo "window shown after ${shown[-1]} ms; then a ping answered after ${ping[-1]} ms, Ctrl+, answered after ${key[-1]} ms"
  done
  median() { printf "%s\n" "$@" | sort -n | sed -n "$(( $# / 2 + 1 ))p"; }
  echo "median of $1 runs: window shown after $(median "${shown[@]}") ms; then a ping answered after $(median "${ping[@]}") ms, Ctrl+, answered after $(median "${key[@]}") ms"
' startup "$runs" "$app"
