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
# Everything runs on a session bus of its own, as on a desktop (and as the other roads run): without
# one, each program's first use of the bus (Qt's accessibility bridge opens it as the first window
# shows) would go through D-Bus autolaunch over the X server, a cost no desktop session has.
#
# Each run times an empty Qt Widgets window the same way (empty-window, which opens an
# empty "Settings" window on Ctrl+,): what the toolkit and the X server cost on this machine as it
# is loaded now, for the ratios printed with the medians.
#
# Starts the application RUNS times (default 5) over a history of SESSIONS saved sessions (default
# none; each a full check of a pad, written by seed-history) and prints each time and
# the medians, in milliseconds, with the processor time the program had used when its window was
# shown (which a loaded machine does not inflate as it does the wait). Settings and sessions go to a
# throw-away folder. --app times another build of the program (default build/app/tessarine), with
# the tools built beside the first one given; given more than once, the builds take turns in every
# run, so that a before and an after are timed side by side under the same load, and each median
# line is labelled with the build's number (builds listed first); --reference another empty window.
set -euo pipefail
cd "$(dirname "$0")/.."
# The virtual X server and its tools come with the test command's packages.
scripts/deps.sh --test
runs=5
sessions=0
apps=()
reference=
numbers=()
while [ $# -gt 0 ]; do
  case "$1" in
    --app) apps+=("${2:?--app needs a program}"); shift 2 ;;
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
[ ${#apps[@]} -gt 0 ] || apps=(build/app/tessarine)
for app in "${apps[@]}"; do
  [ -x "$app" ] || { echo "Build first: scripts/build.sh build (no program at $app)" >&2; exit 1; }
done
# The build folder of the (first) program times against the tools built beside it.
tools=$(dirname "${apps[0]}")/../bench
reference=${reference:-$tools/empty-window}
[ -x "$reference" ] || { echo "Build first: cmake --build build --target empty-window (no program at $reference)" >&2; exit 1; }
labels=()
pairs=()
for i in "${!apps[@]}"; do
  apps[$i]=$(realpath "${apps[$i]}")
  if [ ${#apps[@]} -eq 1 ]; then labels+=(Tessarine); else labels+=("Tessarine-$((i + 1))"); echo "Tessarine-$((i + 1)): ${apps[$i]}"; fi
  pairs+=("${labels[$i]}" "${apps[$i]}")
done
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
xvfb-run -a -s "-screen 0 1440x960x24" dbus-run-session -- bash -c '
  set -euo pipefail
  runs=$1 reference=$2
  shift 2
  # LABEL PROGRAM pairs
  pairs=("$@")
  declare -A figures
  # time_one LABEL TITLE PROGRAM: one start with Ctrl+, and one watched for 6 s; adds LABEL-shown,
  # LABEL-cpu, LABEL-ping, LABEL-key and LABEL-worst to the figures and prints them.
  time_one() {
    local label=$1 title=$2 program=$3 keyed watched
    keyed=$(python3 scripts/answer-time.py "$title" Settings "$program")
    watched=$(python3 scripts/answer-time.py --watch 6 "$title" Settings "$program")
    local shown cpu ping key worst
    shown=$(echo "$keyed" | sed -n "s/^shown //p")
    cpu=$(echo "$keyed" | sed -n "s/^cpu //p")
    ping=$(echo "$keyed" | sed -n "s/^ping //p")
    key=$(echo "$keyed" | sed -n "s/^key //p")
    worst=$(echo "$watched" | sed -n "s/^worst //p")
    figures[$label-shown]+="$shown "
    figures[$label-cpu]+="$cpu "
    figures[$label-ping]+="$ping "
    figures[$label-key]+="$key "
    figures[$label-worst]+="$worst "
    printf "%-13s window shown after %s ms (%s ms CPU); then a ping answered after %s ms, Ctrl+, answered after %s ms; worst answer in its first 6 s %s ms\n" \
      "$label:" "$shown" "$cpu" "$ping" "$key" "$worst"
  }
  median() { printf "%s\n" $1 | sort -n | sed -n "$(( $(echo $1 | wc -w) / 2 + 1 ))p"; }
  for run in $(seq 1 "$runs"); do
    echo "run $run"
    time_one empty-window "Empty window" "$reference"
    for ((i = 0; i < ${#pairs[@]}; i += 2)); do time_one "${pairs[i]}" Tessarine "${pairs[i + 1]}"; done
  done
  echo "median of $runs runs:"
  labels=(empty-window)
  for ((i = 0; i < ${#pairs[@]}; i += 2)); do labels+=("${pairs[i]}"); done
  for label in "${labels[@]}"; do
    printf "%-13s window shown after %s ms (%s ms CPU); then a ping answered after %s ms, Ctrl+, answered after %s ms; worst answer in its first 6 s %s ms\n" \
      "$label:" "$(median "${figures[$label-shown]}")" "$(median "${figures[$label-cpu]}")" "$(median "${figures[$label-ping]}")" \
      "$(median "${figures[$label-key]}")" "$(median "${figures[$label-worst]}")"
  done
  ratio() { python3 -c "import sys; print(\"%.1f\" % (float(sys.argv[1]) / max(float(sys.argv[2]), 0.1)))" "$1" "$2"; }
  for label in "${labels[@]:1}"; do
    echo "$label / empty window: shown $(ratio "$(median "${figures[$label-shown]}")" "$(median "${figures[empty-window-shown]}")")x," \
      "CPU to shown $(ratio "$(median "${figures[$label-cpu]}")" "$(median "${figures[empty-window-cpu]}")")x," \
      "worst answer $(ratio "$(median "${figures[$label-worst]}")" "$(median "${figures[empty-window-worst]}")")x"
  done
' startup "$runs" "$reference" "${pairs[@]}"
