#!/usr/bin/env bash
# tester-road.sh [OUT_DIR]: drives the keyboard and mouse testers of the built application on a
# virtual X server with real X key and mouse events (xdotool), as a user would: picks Keyboard in
# the sidebar, starts capture, types "abc", presses keys of the navigation block and the keypad
# (with NumLock off and on) and one key the board does not draw (Tools), holds Esc to stop, saves the
# session, then clicks in the mouse tester's test area. Checks that a keyboard session with exactly
# those keys tested was saved
# and leaves screenshots in OUT_DIR (default build/tester-road). Settings and sessions go to a
# throw-away folder. Expects build/app/tessarine to be built (scripts/test.sh builds it).
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-build/tester-road}")
app=$(realpath build/app/tessarine)
mkdir -p "$out"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/fb" "$scratch/config" "$scratch/data"
export XDG_CONFIG_HOME="$scratch/config" XDG_DATA_HOME="$scratch/data"

xvfb-run -a -s "-screen 0 1440x960x24 -fbdir $scratch/fb" bash -c '
  set -euo pipefail
  scratch=$1 out=$2 app=$3
  shot() { python3 scripts/xwd2png.py "$scratch/fb/Xvfb_screen0" "$out/$1.png"; }
  # The test command runs Qt offscreen; this run needs the real X server.
  QT_QPA_PLATFORM=xcb "$app" >"$scratch/app.log" 2>&1 &
  pid=$!
  trap "kill $pid 2>/dev/null || true" EXIT
  window=""
  for _ in $(seq 1 1200); do
    window=$(xdotool search --onlyvisible --name "^Tessarine$" 2>/dev/null | head -1 || true)
    [ -n "$window" ] && break
    sleep 0.1
  done
  [ -n "$window" ] || { echo "tester-road: the main window did not appear"; cat "$scratch/app.log"; exit 1; }
  xdotool windowsize --sync "$window" 1320 860 windowmove --sync "$window" 0 0 windowactivate --sync "$window" || true
  sleep 1
  eval "$(xdotool getwindowgeometry --shell "$window")"

  # The sidebar is the window'"'"'s left column; its empty space below the rows takes focus without
  # picking anything. From the last row (History), up past All Devices and Mouse is Keyboard.
  xdotool mousemove --sync $((X + 60)) $((Y + HEIGHT - 30)) click 1
  xdotool key --delay 120 End Up Up Up
  sleep 0.5
  # Into the tester screen, then Return starts capture.
  xdotool key --delay 120 Tab Return
  sleep 0.3
  xdotool type --delay 80 abc
  # The keypad'"'"'s 1 with NumLock off (End) and on (1) is one key; NumLock is a key of its own.
  # XF86Tools is a key the board does not draw: it shows among the other keys.
  xdotool key --delay 120 Insert Pause Print KP_End Num_Lock KP_1 XF86Tools
  sleep 0.3
  shot keyboard-capturing
  # Holding Esc ends capture.
  xdotool keydown Escape; sleep 2; xdotool keyup Escape
  sleep 0.3
  shot keyboard-stopped
  # The layout picker had focus; Reset and then Save Session… follow it. Save Session… asks for
  # the unit, offered as the name of the tester, and Return keeps it.
  xdotool key --delay 120 Tab Tab space
  sleep 0.5
  shot keyboard-save-unit
  xdotool key Return
  sleep 0.5
  shot keyboard-saved

  # The mouse tester: the test area fills the middle of the window.
  xdotool mousemove --sync $((X + 60)) $((Y + HEIGHT - 30)) click 1
  xdotool key --delay 120 End Up Up
  sleep 0.5
  pad_x=$((X + 240 + (WIDTH - 240 - 330) / 2)) pad_y=$((Y + HEIGHT / 2))
  xdotool mousemove --sync $pad_x $pad_y click 1 click 1 click 3 click 4 click 4 click 5
  sleep 0.3
  shot mouse
' tester-road "$scratch" "$out" "$app"

sessions="$scratch/data/com.quenlow.Tessarine/Sessions"
python3 - "$sessions" <<'PY'
import json, pathlib, sys
files = sorted(pathlib.Path(sys.argv[1]).glob("*.json"))
keyboard = [json.loads(f.read_text()) for f in files]
keyboard = [s for s in keyboard if s.get("unit", "").startswith("Keyboard")]
if len(keyboard) != 1:
    sys.exit(f"tester-road: expected one keyboard session, found {len(keyboard)} among {len(files)} files")
result = keyboard[0]["results"][0]
measures = {m["id"]: m["value"] for m in result.get("measures", [])}
missing = " ".join(d for d in result.get("details", []) if d.startswith("Not registered"))
print("tester-road: saved", keyboard[0]["unit"], "with", measures.get("missing"), "of 104 keys not registered")
# a, b, c, Insert, Pause, Print Screen, Keypad 1, Num Lock, and the Esc that was held to stop.
pressed = ["A", "B", "C", "Insert", "Pause", "Print Screen", "Keypad 1", "Num Lock", "Escape"]
if measures.get("missing") != 104 - len(pressed) or any(f" {k}," in missing or f" {k}." in missing for k in pressed):
    sys.exit(f"tester-road: the saved session does not have {', '.join(pressed)} tested: {missing}")
# Tools is no key of the board: it registers as another input.
if "Also pressed: 1 other input." not in result.get("details", []):
    sys.exit(f"tester-road: Tools did not register as another input: {result.get('details')}")
PY
echo "tester-road: passed; screenshots in $out"
