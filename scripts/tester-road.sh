#!/usr/bin/env bash
# tester-road.sh [OUT_DIR]: drives the keyboard and mouse testers of the built application on a
# virtual X server with real X key and mouse events (xdotool), as a user would: picks Keyboard in
# the sidebar, picks the tenkeyless board with the keyboard, starts capture, presses every key of a
# tenkeyless US board once and two keys beyond it (a keypad key and Tools), holds Esc to stop, saves
# the session, then clicks in the mouse tester's test area. Checks that the saved keyboard session
# passed with all 83 required keys and the 4 optional ones, names the two others apart, and leaves
# screenshots in OUT_DIR
# (default build/tester-road). Settings and sessions go to a throw-away folder. Expects
# build/app/tessarine to be built (scripts/test.sh builds it).
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
  # Into the tester screen: the layout picker, then the board picker, whose next board after
  # Compact is Tenkeyless; then Return starts capture.
  xdotool key --delay 120 Tab Tab Down
  sleep 0.3
  shot keyboard-tenkeyless
  xdotool key --delay 120 Return
  sleep 0.3
  # Every key of a tenkeyless US board, row by row, then the navigation block.
  xdotool key --delay 100 Escape F1 F2 F3 F4 F5 F6 F7 F8 F9 F10 F11 F12 \
    grave 1 2 3 4 5 6 7 8 9 0 minus equal BackSpace \
    Tab q w e r t y u i o p bracketleft bracketright backslash \
    Caps_Lock a s d f g h j k l semicolon apostrophe Return \
    Shift_L z x c v b n m comma period slash Shift_R \
    Control_L Super_L Alt_L space Alt_R Super_R Menu Control_R \
    Print Scroll_Lock Pause Insert Home Prior Delete End Next Up Left Down Right
  # Keys beyond the board: the keypad'"'"'s 1 (End with NumLock off) and Tools, which no board draws.
  xdotool key --delay 120 KP_End XF86Tools
  sleep 0.3
  shot keyboard-capturing
  # Holding Esc ends capture.
  xdotool keydown Escape; sleep 2; xdotool keyup Escape
  sleep 0.3
  # Caps Lock was pressed as a key under test; off again now that capture has ended.
  xdotool key Caps_Lock
  shot keyboard-stopped
  # The board picker had focus; Reset and then Save Session… follow it. Save Session… asks for
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
details = result.get("details", [])
print("tester-road: saved", keyboard[0]["unit"], "-", result.get("verdict"), "-", result.get("headline"))
# Every key of the tenkeyless board, the optional ones (both Supers, Menu, Print Screen) counted apart.
if result.get("verdict") != "pass" or result.get("headline") != "all 83 keys of the tenkeyless board OK + 4 optional, no chatter":
    sys.exit(f"tester-road: the tenkeyless board did not pass whole: {result.get('headline')}; {details}")
if not any(d.startswith("Layout: US (ANSI), tenkeyless board.") for d in details):
    sys.exit(f"tester-road: the result does not name the tenkeyless board: {details}")
# The keypad's 1 and Tools are beyond the board: named apart, failing nothing.
others = [d for d in details if d.startswith("Other keys: ")]
if len(others) != 1 or "Keypad 1 1\u00d7" not in others[0] or others[0].count("\u00d7") != 2:
    sys.exit(f"tester-road: the keys beyond the board were not named apart: {details}")
PY
echo "tester-road: passed; screenshots in $out"
