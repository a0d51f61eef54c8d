#!/usr/bin/env bash
# demo-bench.sh NAME APP COMMAND [ARGS...]: how the measuring tools start the application. Runs APP
# (a built application) on a virtual X server with a throw-away settings and data folder, waits
# for its main window, which opens on the demo controller's bench with the demo playing and nobody
# touching it, then runs COMMAND with the application's process id in DEMO_PID and the throw-away
# folder in DEMO_SCRATCH (the application's output is in $DEMO_SCRATCH/app.log), and ends the
# application. NAME starts the messages. Exits with COMMAND's status.
set -euo pipefail
# The virtual X server and its tools come with the test command's packages.
"$(dirname "$0")/deps.sh" --test
name=$1 app=$2
shift 2
[ -x "$app" ] || { echo "$name: build the application first (scripts/build.sh build)" >&2; exit 1; }
app=$(realpath "$app")
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/config" "$scratch/data"
export XDG_CONFIG_HOME="$scratch/config" XDG_DATA_HOME="$scratch/data" DEMO_SCRATCH="$scratch"

xvfb-run -a -s "-screen 0 1440x960x24" bash -c '
  set -euo pipefail
  name=$1 app=$2
  shift 2
  # The test command runs Qt offscreen; this run needs the real X server.
  QT_QPA_PLATFORM=xcb "$app" >"$DEMO_SCRATCH/app.log" 2>&1 &
  pid=$!
  trap "kill $pid 2>/dev/null || true; wait $pid 2>/dev/null || true" EXIT
  for _ in $(seq 1 600); do
    xdotool search --onlyvisible --name "^Tessarine$" >/dev/null 2>&1 && break
    kill -0 $pid 2>/dev/null || { echo "$name: the application ended at start"; cat "$DEMO_SCRATCH/app.log"; exit 1; }
    sleep 0.1
  done
  xdotool search --onlyvisible --name "^Tessarine$" >/dev/null 2>&1 ||
    { echo "$name: the main window did not appear"; cat "$DEMO_SCRATCH/app.log"; exit 1; }
  DEMO_PID=$pid "$@"
' demo-bench "$name" "$app" "$@"
