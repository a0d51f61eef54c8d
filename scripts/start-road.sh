#!/usr/bin/env bash
# start-road.sh [OUT_DIR]: starts the built application on a virtual X server with a named pipe
# that no program writes to in place of each file it reads at start: the settings file, the
# report logo and the game-controller mapping file. Opened plainly, each would wait for a writer
# for ever. Checks that the window still appears, that the log and the toast name each refused
# file, and that Quit (Ctrl+Q) then ends the process. Leaves a screenshot in OUT_DIR (default
# build/start-road). Everything goes to a throw-away folder. Expects build/app/tessarine to be
# built (scripts/test.sh builds it).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/road-setup.sh
road_setup start-road "${1:-}"
mkdir -p "$scratch/config/com.quenlow" "$scratch/data/com.quenlow.Tessarine" "$scratch/system"
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
settings="$scratch/config/com.quenlow/Tessarine.conf"
logo="$scratch/data/com.quenlow.Tessarine/report-logo.png"
mappings="$scratch/data/com.quenlow.Tessarine/gamecontrollerdb.txt"
mkfifo "$settings" "$logo" "$mappings"
# A system-wide mapping file in a pipe too: the user's own is not the only one read.
mkdir -p "$scratch/system/com.quenlow.Tessarine"
mkfifo "$scratch/system/com.quenlow.Tessarine/gamecontrollerdb.txt"

xvfb-run -a -s "-screen 0 1280x860x24 -fbdir $scratch/fb" dbus-run-session -- bash -c '
  set -euo pipefail
  scratch=$1 out=$2 app=$3 road=start-road
  source scripts/road-helpers.sh
  # A system data folder of its own first, then the ones the desktop needs.
  XDG_DATA_DIRS="$scratch/system:/usr/local/share:/usr/share" QT_QPA_PLATFORM=xcb "$app" >"$scratch/app.log" 2>&1 &
  pid=$!
  trap "kill -9 $pid 2>/dev/null || true" EXIT
  # A start held up by a pipe never shows the window; a sound one shows it in a second or two
  # (the limit is generous for a loaded machine).
  wait_for 30 "window (does the start wait on a file?)" xdotool search --onlyvisible --name "^Tessarine$"
  window=$(xdotool search --onlyvisible --name "^Tessarine$" | head -1)
  # The toast says what was refused; it shows for a few seconds, so it is read as soon as the
  # window is on the accessibility bus, and read again until all three files are named in it.
  toast_names_all() {
    local tree
    tree=$(/usr/bin/python3 scripts/atspi.py dump 2>/dev/null) || return 1
    grep -q "Couldn.t read the settings file" <<<"$tree" &&
      grep -q "Couldn.t read the report logo" <<<"$tree" &&
      grep -q "Couldn.t read the game controller mappings" <<<"$tree"
  }
  wait_for 20 "toast that names the three refused files" toast_names_all
  shot started
  for said in "Couldn.t read the settings file .*Tessarine.conf.: not a regular file" \
              "Couldn.t read the report logo .*report-logo.png.: not a regular file" \
              "Couldn.t read the game controller mappings .*gamecontrollerdb.txt.: not a regular file"; do
    grep -q "$said" "$scratch/app.log" || fail "the log does not say \"$said\""
  done

  # Quit: a click gives the window the keyboard (no window manager), then Ctrl+Q.
  eval "$(xdotool getwindowgeometry --shell "$window")"
  xdotool mousemove --sync $((X + 60)) $((Y + HEIGHT - 30)) click 1
  xdotool key ctrl+q
  deadline=$((SECONDS + 10))
  while kill -0 $pid 2>/dev/null; do
    [ $SECONDS -lt $deadline ] || fail "the process did not end within 10 s of Quit"
    sleep 0.1
  done
  wait $pid || fail "the application ended with status $?"
' start-road "$scratch" "$out" "$app"
# Refused files are never written over.
for f in "$settings" "$logo" "$mappings"; do
  [ -p "$f" ] || { echo "start-road: $f is no longer the pipe it was"; exit 1; }
done
echo "start-road: passed; screenshot in $out"
