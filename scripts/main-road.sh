#!/usr/bin/env bash
# main-road.sh [OUT_DIR]: drives the main road of the built application on a virtual X server with
# real X key and mouse events (xdotool), as a technician would: picks the demo controller in the
# sidebar, plays its drifting-left-stick recording, reads its raw values, types a unit, runs the
# left stick's drift test, waits for its verdict, saves the session with Ctrl+S and Return, and
# checks that the session file holds that unit and a "drift" result that failed. Widgets are
# reached by keyboard focus order from the sidebar, never by screen coordinates. Leaves
# screenshots in OUT_DIR (default build/main-road). Settings and sessions go to a throw-away
# folder. Expects build/app/tessarine to be built (scripts/test.sh builds it).
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-build/main-road}")
app=$(realpath build/app/tessarine)
mkdir -p "$out"
rm -f "$out"/*.png
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/fb" "$scratch/config" "$scratch/data"
export XDG_CONFIG_HOME="$scratch/config" XDG_DATA_HOME="$scratch/data"
unit="SN-ROAD-$$"
sessions="$scratch/data/com.quenlow.Tessarine/Sessions"

xvfb-run -a -s "-screen 0 1440x960x24 -fbdir $scratch/fb" bash -c '
  set -euo pipefail
  scratch=$1 out=$2 app=$3 unit=$4 sessions=$5
  screen="$scratch/fb/Xvfb_screen0"
  shot() { python3 scripts/xwd2png.py "$screen" "$out/$1.png"; }
  fail() {
    echo "main-road: $1"
    shot failed || true
    echo "main-road: the application said:"; cat "$scratch/app.log"
    exit 1
  }
  # wait_for SECONDS WHAT COMMAND...: runs COMMAND every 0.2 s until it succeeds.
  wait_for() {
    local seconds=$1 what=$2
    shift 2
    local deadline=$((SECONDS + seconds))
    until "$@" >/dev/null 2>&1; do
      kill -0 $pid 2>/dev/null || fail "the application ended while waiting for $what"
      [ $SECONDS -lt $deadline ] || fail "no $what after $seconds s"
      sleep 0.2
    done
  }
  window_named() { xdotool search --onlyvisible --name "$1"; }
  # screen_shows COLOUR [X Y WIDTH HEIGHT]: the colour (hex RRGGBB) is on the screen, or in the
  # rectangle.
  screen_shows() { python3 scripts/xwd-colour.py "$screen" "${2:-0}" "${3:-0}" "${4:-100000}" "${5:-100000}" "$1"; }
  screen_lacks() { ! screen_shows "$@"; }
  # The orange of a live stick in a stick plot, sRGB (1.0, 0.584, 0.0): a device view is showing.
  orange=ff9500

  # The test command runs Qt offscreen; this run needs the real X server.
  QT_QPA_PLATFORM=xcb "$app" >"$scratch/app.log" 2>&1 &
  pid=$!
  trap "kill $pid 2>/dev/null || true; wait $pid 2>/dev/null || true" EXIT
  wait_for 60 "main window" window_named "^Tessarine$"
  window=$(window_named "^Tessarine$" | head -1)
  xdotool windowsize --sync "$window" 1320 860 windowmove --sync "$window" 0 0
  eval "$(xdotool getwindowgeometry --shell "$window")"

  # Without a window manager keys go to the window under the pointer. The sidebar is the
  # window'"'"'s left column; a click in its empty space below the rows gives it focus and keeps
  # the pick, the demo controller, which the window opens on (a virtual X server has no game
  # controllers). Home picks it again should nothing be picked.
  wait_for 30 "demo controller'"'"'s live sticks" screen_shows $orange
  xdotool mousemove --sync $((X + 60)) $((Y + HEIGHT - 30)) click 1
  xdotool key Home
  wait_for 20 "demo controller picked" screen_shows $orange
  # Tab moves into the device view: the demo recording picker first, where Down picks the
  # drifting left stick; then the value source, where Right picks the raw HID values (the pad'"'"'s
  # own dead zone would hide part of the drift).
  xdotool key --delay 150 Tab Down Tab Right
  # On past the tab picker, the live column, its "Reset Counts" and the bench page to the unit
  # field, which selects its text as it takes focus.
  xdotool key --delay 150 Tab Tab Tab Tab Tab
  xdotool type --delay 60 "$unit"
  shot 1-unit-typed
  # On past the stage picker, the four actions and the family menu to the Run button of the
  # first card, the left stick'"'"'s drift test.
  xdotool key --delay 150 Tab Tab Tab Tab Tab Tab Tab space
  shot 2-drift-test-started

  # The verdict shows in the bench (right half of the window) in its colour: the results summary
  # and the card'"'"'s badge in the fail colour, sRGB (0.82, 0.18, 0.16).
  wait_for 90 "failed drift test on the bench" screen_shows d12e29 $((X + WIDTH / 2)) "$Y" $((WIDTH / 2)) "$HEIGHT"
  shot 3-drift-test-failed

  xdotool key ctrl+s
  wait_for 20 "save-session sheet" window_named "^Save Session"
  shot 4-save-sheet
  xdotool key Return
  wait_for 20 "session file" compgen -G "$sessions/*.json"
  shot 5-saved
' main-road "$scratch" "$out" "$app" "$unit" "$sessions"

python3 - "$sessions" "$unit" <<'PY'
import json, pathlib, sys
folder, unit = pathlib.Path(sys.argv[1]), sys.argv[2]
files = sorted(folder.glob("*.json"))
if len(files) != 1:
    sys.exit(f"main-road: expected one session file, found {len(files)}")
session = json.loads(files[0].read_text())
results = [(r["kind"], r["element"], r["source"], r["verdict"]) for r in session.get("results", [])]
print(f"main-road: saved {session.get('unit')!r} with {results}")
if session.get("unit") != unit:
    sys.exit(f"main-road: the session's unit is {session.get('unit')!r}, not {unit!r}")
if not any(kind == "drift" and verdict == "fail" for kind, _, _, verdict in results):
    sys.exit("main-road: the session has no failed drift result")
PY
echo "main-road: passed; screenshots in $out"
