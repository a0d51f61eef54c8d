#!/usr/bin/env bash
# a11y-road.sh [OUT_DIR]: starts the built application on a virtual X server with the
# accessibility bus of a desktop session (a private D-Bus session; at-spi2-core starts the bus on
# demand) and reads its window as a screen reader would, with pyatspi (scripts/a11y-check.py):
# on the demo controller's bench every labelled control is found by its label, the stick plots
# and trigger bars carry their values, and the "Values" and "View" pickers are groups of radio
# buttons. Then a real mouse wheel rolled over every combo box, spin box and slider of the bench
# and of the Settings window changes none of them and scrolls the page (scripts/wheel-check.py).
# Leaves the tree it read and screenshots in OUT_DIR (default build/a11y-road).
# Settings and sessions go to a throw-away folder. Expects build/app/tessarine to be built
# (scripts/test.sh builds it).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/road-setup.sh
road_setup a11y-road "${1:-}"
rm -f "$out"/*.txt
# Qt speaks to the accessibility bus whether or not a screen reader said it is running.
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1

xvfb-run -a -s "-screen 0 1440x960x24 -fbdir $scratch/fb" dbus-run-session -- bash -c '
  set -euo pipefail
  scratch=$1 out=$2 app=$3
  shot() { python3 scripts/xwd2png.py "$scratch/fb/Xvfb_screen0" "$out/$1.png"; }
  # The test command runs Qt offscreen; this run needs the real X server.
  QT_QPA_PLATFORM=xcb "$app" >"$scratch/app.log" 2>&1 &
  pid=$!
  trap "kill $pid 2>/dev/null || true; wait $pid 2>/dev/null || true" EXIT
  # Debian'"'"'s own Python, which has pyatspi (another Python first on the PATH may not).
  if ! /usr/bin/python3 scripts/atspi.py wait 60; then
    echo "a11y-road: the window did not reach the accessibility bus; the application said:"
    cat "$scratch/app.log"
    exit 1
  fi
  status=0
  /usr/bin/python3 scripts/a11y-check.py || status=1
  /usr/bin/python3 scripts/atspi.py dump >"$out/tree.txt" 2>&1 || true
  shot bench
  # Last, as it scrolls the bench and opens the Settings window.
  /usr/bin/python3 scripts/wheel-check.py || status=1
  shot wheel
  if [ $status -ne 0 ]; then
    echo "a11y-road: the application said:"; cat "$scratch/app.log"
  fi
  exit $status
' a11y-road "$scratch" "$out" "$app"
echo "a11y-road: passed; tree and screenshot in $out"
