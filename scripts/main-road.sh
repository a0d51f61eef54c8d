#!/usr/bin/env bash
# main-road.sh [OUT_DIR]: drives the main road of the built application on a virtual X server with
# real X key and mouse events (xdotool), as a technician would: picks the demo controller in the
# sidebar, plays its drifting-left-stick recording, reads its raw values, types a unit, runs the
# left stick's drift test, waits for its verdict, saves the session with Ctrl+S and Return, and
# checks that the session file holds that unit and a "drift" result that failed. Then, back on
# the healthy pad with processed values, it runs the left stick's Circularity, Inner deadzone and
# Return to center back to back while a busy loop per core (started and stopped here) keeps the
# machine loaded, runs Circularity again and presses Space and Escape into it (the test goes on
# through Space; Escape cancels it), saves again, and checks that all three passed. Widgets are
# found by what a screen reader hears of them (their accessible names and labels, read over the
# accessibility bus by scripts/atspi.py) and then used with real clicks and keys, so the road
# does not depend on the focus order or on where a widget happens to sit. Leaves screenshots in
# OUT_DIR (default build/main-road). Settings and sessions go to a throw-away folder. Expects
# build/app/tessarine to be built (scripts/test.sh builds it).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/road-setup.sh
road_setup main-road "${1:-}"
# Qt speaks to the accessibility bus whether or not a screen reader said it is running.
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
unit="SN-ROAD-$$"
sessions="$scratch/data/com.quenlow.Tessarine/Sessions"

xvfb-run -a -s "-screen 0 1440x960x24 -fbdir $scratch/fb" dbus-run-session -- bash -c '
  set -euo pipefail
  scratch=$1 out=$2 app=$3 unit=$4 sessions=$5
  road=main-road
  source scripts/road-helpers.sh
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
  # The demo recording picker, found by its label: its list opens, and the drifting left
  # stick is picked from it.
  click_on "Demo recording"
  click_on "Drifting left stick"
  # The value source: the raw HID values (the pad'"'"'s own dead zone would hide part of the
  # drift). "Values/Raw HID" is that picker'"'"'s choice, not the tab of the same name.
  click_on "Values/Raw HID"
  # The unit field, whose text the unit replaces.
  click_on "Unit, serial or ticket number"
  xdotool key ctrl+a
  xdotool type --delay 60 "$unit"
  shot 1-unit-typed
  # The Run button of the left stick'"'"'s drift test.
  click_on "Left stick · Drift at rest (Raw HID)/Run"
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

  # ---- Verdicts under load ----------------------------------------------------------------
  # On the healthy pad with processed values, the left stick'"'"'s Circularity, Inner deadzone and
  # Return to center run back to back while every core is kept busy, then a second session is
  # saved; each of the three must pass (checked after the virtual X server is gone). A demo
  # verdict depends on its scenario alone, not on the tests run before it or on the load.
  busy=()
  # load_start: one busy loop per core; load_stop ends them (also when the road fails).
  load_start() {
    local core
    for core in $(seq "$(nproc)"); do
      bash -c "while :; do :; done" &
      busy+=($!)
    done
  }
  load_stop() {
    local p
    for p in "${busy[@]}"; do kill "$p" 2>/dev/null || true; done
    busy=()
  }
  trap "load_stop; kill $pid 2>/dev/null || true; wait $pid 2>/dev/null || true" EXIT
  # usable PATH: the element that reads PATH (as click_on finds it) can be used now.
  usable() {
    /usr/bin/python3 -c "import sys; sys.path.insert(0, \"scripts\"); import atspi, pyatspi
w = atspi.wait_for_window(10)
e = w and atspi.find_path(w, sys.argv[1])
sys.exit(0 if e is not None and e.getState().contains(pyatspi.STATE_ENABLED) else 1)" "$1"
  }
  # sessions_saved N: at least N session files are in the library.
  sessions_saved() { [ "$(compgen -G "$sessions/*.json" | wc -l)" -ge "$1" ]; }

  click_on "Demo recording"
  click_on "Healthy pad"
  click_on "Values/Processed"
  # The drift card is not run here: its Run button can be used exactly while no test runs.
  idle="Left stick · Drift at rest/Run"
  wait_for 20 "an idle bench" usable "$idle"
  load_start
  # A card that has a result offers "Run Again" where it offered "Run", and it can be used once
  # no test runs. That is waited for rather than first seeing the test run: on a loaded machine
  # a short test can start and end between two looks over the accessibility bus.
  for card in "Circularity" "Inner deadzone" "Return to center"; do
    click_on "Left stick · $card/Run"
    wait_for 120 "the verdict of $card" /usr/bin/python3 scripts/atspi.py finished "Left stick · $card"
  done
  load_stop
  shot 6-verdicts-under-load

  # ---- Stray keys -------------------------------------------------------------------------
  # Run Again on Circularity, then Space a moment later, tapped and then held (the server repeats
  # it): the test goes on, its Done still offered; a stray key must not end it with a verdict.
  # Escape cancels it and leaves the passing result to be saved below.
  circle="Left stick · Circularity"
  click_on "$circle/Run Again"
  wait_for 10 "Circularity running again" usable "$circle/Done"
  sleep 0.5
  xdotool key space
  xdotool keydown space sleep 1 keyup space
  usable "$circle/Done" || fail "a stray Space ended the running Circularity test"
  shot 7-stray-keys
  xdotool key Escape
  wait_for 10 "Circularity cancelled by Escape" /usr/bin/python3 scripts/atspi.py finished "$circle"
  xdotool key ctrl+s
  wait_for 20 "save-session sheet" window_named "^Save Session"
  xdotool key Return
  wait_for 20 "second session file" sessions_saved 2
' main-road "$scratch" "$out" "$app" "$unit" "$sessions"

python3 - "$sessions" "$unit" <<'PY'
import json, pathlib, sys
folder, unit = pathlib.Path(sys.argv[1]), sys.argv[2]
sessions = [json.loads(f.read_text()) for f in sorted(folder.glob("*.json"))]
# The first save holds the drift test; the second also the three tests run under load.
first = [s for s in sessions if not any(r["kind"] == "circularity" for r in s.get("results", []))]
if len(sessions) != 2 or len(first) != 1:
    sys.exit(f"main-road: expected two session files, the first without a circularity result, found {len(sessions)}")
session = first[0]
results = [(r["kind"], r["element"], r["source"], r["verdict"]) for r in session.get("results", [])]
print(f"main-road: saved {session.get('unit')!r} with {results}")
if session.get("unit") != unit:
    sys.exit(f"main-road: the session's unit is {session.get('unit')!r}, not {unit!r}")
if not any(kind == "drift" and verdict == "fail" for kind, _, _, verdict in results):
    sys.exit("main-road: the session has no failed drift result")

# Verdicts under load: the left stick's three tests on processed values, all passed.
second = next(s for s in sessions if s is not session)
verdicts = {r["kind"]: r["verdict"] for r in second.get("results", [])
            if r["element"] == "Left stick" and r["source"] == "processed"}
print(f"main-road: under load, the left stick's verdicts were {verdicts}")
for kind in ("circularity", "deadzone", "snapback"):
    if verdicts.get(kind) != "pass":
        sys.exit(f"main-road: under load the healthy pad's {kind} verdict is {verdicts.get(kind)!r}, not 'pass'")
PY
echo "main-road: passed; screenshots in $out"
