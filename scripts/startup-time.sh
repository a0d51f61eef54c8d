#!/usr/bin/env bash
# startup-time.sh [RUNS] [SESSIONS] [--app PROGRAM] [--reference PROGRAM]: how long Tessarine takes,
# on a virtual X server, from process start to its main window being shown, and from then to its
# first answered input (scripts/answer-time.py): the moment the window is mapped it is pinged as a
# window manager pings a window it suspects of hanging, and Ctrl+, is pressed, which counts as
# answered when the Settings window it opens is shown (so that figure includes showing Settings).
# A window whose main thread is busy answers both late. A second start of each run pings the window
# again the moment it answers, for the first 6 s after it is shown, and takes the longest wait: the
# longest the window left input unanswered while it started.
#
# Each run times an empty Qt Widgets window the same way (empty-window, which opens an
# empty "Settings" window on Ctrl+,): what the toolkit and the X server cost on this machine as it
# is loaded now, for the ratios printed with the medians.
#
# Starts the application RUNS times (default 5) over a history of SESSIONS saved sessions (default
# none; each a full check of a pad, written by seed-history) and prints each time and
# the medians, in milliseconds. Settings and sessions go to a throw-away folder. --app times another
# build of the program (default build/app/tessarine), with the tools built beside it;
# --reference another empty window.
set -euo pipefail
cd "$(dirname "$0")/.."
# The virtual X server and its tools come with the test command's packages.
scripts/deps.sh --test
runs=5
sessions=0
app=build/app/tessarine
reference=
numbers=()
while [ $# -gt 0 ]; do
  case "$1" in
    --app) app=${2:?--app needs a program}; shift 2 ;;
    --reference) reference=${2:?--reference needs a program}; shift 2 ;;
    *) numbers+=("$1"); shift ;;
  esac
done
[ ${#numbers[@]} -gt 0 ] && runs=${numbers[0]}
[ ${#numbers[@]} -gt 1 ] && sessions=${numbers[1]}
[[ "$runs" =~ ^[1-9][0-9]*$ && "$sessions" =~ ^[0-9]+$ && ${#numbers[@]} -le 2 ]] || {
  echo "Usage: startup-time.sh [RUNS] [SESSIONS] [--app PROGRAM] [--reference PROGRAM]" >&2
  exit 2
}
[ -x "$app" ] || { echo "Build first: scripts/build.sh build (no program at $app)" >&2; exit 1; }
# The build folder of the program times against the tools built beside it.
tools=$(dirname "$app")/../bench
reference=${reference:-$tools/empty-window}
[ -x "$reference" ] || { echo "Build first: cmake --build build --target empty-window (no program at $reference)" >&2; exit 1; }
app=$(realpath "$app")
reference=$(realpath "$reference")
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export XDG_CONFIG_HOME="$scratch/config" XDG_DATA_HOME="$scratch/data"
if [ "$sessions" -gt 0 ]; then
  seed=$tools/seed-history
  [ -x "$seed" ] || { echo "Build first: cmake --build build --target seed-history" >&2; exit 1; }
  "$seed" "$scratch/data/com.quenlow.Tessarine/Sessions" "$sessions"
  echo "history: $sessions saved sessions"
fi
xvfb-run -a -s "-screen 0 1440x960x24" bash -c '
  set -euo pipefail
  runs=$1 app=$2 reference=$3
  declare -A figures
  # time_one LABEL TITLE PROGRAM: one start with Ctrl+, and one watched for 6 s; adds LABEL-shown,
  # LABEL-ping, LABEL-key and LABEL-worst to the figures and prints them.
  time_one() {
    local label=$1 title=$2 program=$3 keyed watched
    keyed=$(python3 scripts/answer-time.py "$title" Settings "$program")
    watched=$(python3 scripts/answer-time.py --watch 6 "$title" Settings "$program")
    local shown ping key worst
    shown=$(echo "$keyed" | sed -n "s/^shown //p")
    ping=$(echo "$keyed" | sed -n "s/^ping //p")
    key=$(echo "$keyed" | sed -n "s/^key //p")
    worst=$(echo "$watched" | sed -n "s/^worst //p")
    figures[$label-shown]+="$shown "
    figures[$label-ping]+="$ping "
    figures[$label-key]+="$key "
    figures[$label-worst]+="$worst "
    printf "%-13s window shown after %s ms; then a ping answered after %s ms, Ctrl+, answered after %s ms; worst answer in its first 6 s %s ms\n" \
      "$label:" "$shown" "$ping" "$key" "$worst"
  }
  median() { printf "%s\n" $1 | sort -n | sed -n "$(( $(echo $1 | wc -w) / 2 + 1 ))p"; }
  for run in $(seq 1 "$runs"); do
    echo "run $run"
    time_one empty-window "Empty window" "$reference"
    time_one Tessarine Tessarine "$app"
  done
  echo "median of $runs runs:"
  for label in empty-window Tessarine; do
    printf "%-13s window shown after %s ms; then a ping answered after %s ms, Ctrl+, answered after %s ms; worst answer in its first 6 s %s ms\n" \
      "$label:" "$(median "${figures[$label-shown]}")" "$(median "${figures[$label-ping]}")" \
      "$(median "${figures[$label-key]}")" "$(median "${figures[$label-worst]}")"
  done
  ratio() { python3 -c "import sys; print(\"%.1f\" % (float(sys.argv[1]) / max(float(sys.argv[2]), 0.1)))" "$1" "$2"; }
  echo "Tessarine / empty window: shown $(ratio "$(median "${figures[Tessarine-shown]}")" "$(median "${figures[empty-window-shown]}")")x," \
    "worst answer $(ratio "$(median "${figures[Tessarine-worst]}")" "$(median "${figures[empty-window-worst]}")")x"
' startup "$runs" "$app" "$reference"
