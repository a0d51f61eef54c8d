#!/usr/bin/env bash
# instance-road.sh [OUT_DIR]: one window per user, on a virtual X server with the built
# application. Starts it, covers its window with another program's, and starts it again: the
# second launch must end with status 0 and open no window, and the first window must be on top
# again; --version still answers meanwhile. Then the first instance is killed as a crash would end
# it, and a new start must open its window: nothing left behind stops it. The window must carry
# its icon (_NET_WM_ICON), found among the PNG icons the build renders. Leaves a screenshot in
# OUT_DIR (default build/instance-road). Settings, sessions and the runtime folder are throw-away
# folders. Expects build/app/tessarine and the icons (target tessarine_documents) to be built.
set -euo pipefail
cd "$(dirname "$0")/.."
icons=$(realpath build/packaging/icons)
source scripts/road-setup.sh
road_setup instance-road "${1:-}"
mkdir -p "$scratch/runtime"
chmod 700 "$scratch/runtime"
# The icon theme's folder in the user's data folder, as an installed package's would be.
cp -r "$icons" "$scratch/data/icons"
export XDG_RUNTIME_DIR="$scratch/runtime"

xvfb-run -a -s "-screen 0 1280x800x24 -fbdir $scratch/fb" dbus-run-session -- bash -c '
  set -euo pipefail
  scratch=$1 out=$2 app=$3
  pids=()
  trap "kill \${pids[*]} 2>/dev/null || true; wait 2>/dev/null || true" EXIT
  fail() {
    echo "instance-road: $1"
    python3 scripts/xwd2png.py "$scratch/fb/Xvfb_screen0" "$out/failed.png" || true
    for log in "$scratch"/*.log; do echo "-- $log:"; cat "$log"; done
    exit 1
  }
  # wait_for SECONDS WHAT COMMAND...: runs COMMAND every 0.2 s until it succeeds.
  wait_for() {
    local seconds=$1 what=$2
    shift 2
    local deadline=$((SECONDS + seconds))
    until "$@" >/dev/null 2>&1; do
      [ $SECONDS -lt $deadline ] || fail "no $what after $seconds s"
      sleep 0.2
    done
  }
  windows() { xdotool search --onlyvisible --name "^Tessarine$" 2>/dev/null || true; }
  some_window() { [ -n "$(windows)" ]; }
  no_window() { [ -z "$(windows)" ]; }
  # above A B: window A is higher than window B among the root window'"'"'s children (xwininfo
  # lists them from the top down).
  above() {
    local order
    order=$(xwininfo -root -children | awk "/^ +0x/ {print \$1}")
    local a b
    a=$(grep -nx "$(printf "0x%x" "$1")" <<<"$order" | cut -d: -f1)
    b=$(grep -nx "$(printf "0x%x" "$2")" <<<"$order" | cut -d: -f1)
    [ -n "$a" ] && [ -n "$b" ] && [ "$a" -lt "$b" ]
  }

  # The test command runs Qt offscreen; this run needs the real X server.
  export QT_QPA_PLATFORM=xcb
  "$app" >"$scratch/first.log" 2>&1 &
  first=$!
  pids+=($first)
  wait_for 60 "main window" some_window
  sleep 0.5
  [ "$(windows | wc -l)" -eq 1 ] || fail "the first start opened $(windows | wc -l) windows"
  window=$(windows)
  xprop -id "$window" _NET_WM_ICON | grep -q "_NET_WM_ICON(CARDINAL) = " || fail "the window has no icon"

  # Another program'"'"'s window over the whole screen.
  xmessage -geometry 1280x800+0+0 "covering the bench" &
  pids+=($!)
  wait_for 20 "covering window" xdotool search --onlyvisible --name "^xmessage$"
  cover=$(xdotool search --onlyvisible --name "^xmessage$" | head -1)
  above "$cover" "$window" || fail "the covering window is not on top"

  "$app" --version >"$scratch/version.log" 2>&1 || fail "--version failed while an instance runs"
  grep -q "^tessarine " "$scratch/version.log" || fail "--version printed no version while an instance runs"

  status=0
  timeout 30 "$app" >"$scratch/second.log" 2>&1 || status=$?
  [ "$status" -eq 0 ] || fail "the second launch ended with $status, not 0"
  kill -0 $first 2>/dev/null || fail "the first instance ended"
  wait_for 10 "first window on top" above "$window" "$cover"
  [ "$(windows | wc -l)" -eq 1 ] || fail "the second launch left $(windows | wc -l) windows"
  grep -q "A later launch asked for the window" "$scratch/first.log" || fail "the first instance did not log the request"
  python3 scripts/xwd2png.py "$scratch/fb/Xvfb_screen0" "$out/raised.png"

  # A crash: no chance to clean anything up.
  kill -9 $first
  wait $first 2>/dev/null || true
  wait_for 20 "the window gone" no_window
  "$app" >"$scratch/after-crash.log" 2>&1 &
  pids+=($!)
  wait_for 60 "main window after a crash" some_window
  echo "instance-road: passed"
' bash "$scratch" "$out" "$app"
