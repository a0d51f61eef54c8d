#!/usr/bin/env bash
# compare-road.sh [OUT_DIR] [LIMIT_MS]: the Compare With picker over a shop's history of 5,000
# saved sessions (scripts/shop-history.py) in the built application on a virtual X server, used
# with real keys and clicks while the window is pinged without a pause (scripts/answer-gaps.py),
# and read as a screen reader reads it (scripts/compare-check.py). The demo controller's History
# tab (Ctrl+3) shows its newest session; "Compare With" opens the picker on the unit's other
# sessions; a serial typed letter by letter (in lower case) narrows it to that unit's five
# sessions; Down and Return compare with the second, and "Before and after" takes the pane. A
# wheel rolled over the list on the way changes nothing but what is in sight.
# Then the picker opened again and Escape close it without a comparison. Fails when an input
# waited longer than LIMIT_MS (default 250; the picker opens in a few milliseconds, the margin
# keeps a loaded machine from failing it). Leaves screenshots in OUT_DIR (default
# build/compare-road). Settings and sessions go to a throw-away folder. Expects
# build/app/tessarine to be built.
set -euo pipefail
cd "$(dirname "$0")/.."
limit=${2:-250}
source scripts/road-setup.sh
road_setup compare-road "${1:-}"
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
# The rows show their dates in local time.
export TZ=UTC
python3 scripts/shop-history.py "$scratch/data/com.quenlow.Tessarine/Sessions" 5000

xvfb-run -a -s "-screen 0 1440x960x24 -fbdir $scratch/fb" dbus-run-session -- bash -c '
  set -euo pipefail
  scratch=$1 out=$2 app=$3 limit=$4
  road=compare-road
  source scripts/road-answers.sh
  check() { /usr/bin/python3 scripts/compare-check.py "$@" || fail "the picker does not read as it should ($1)"; }
  # Without a window manager the picker is given the keyboard by hand.
  focus_picker() {
    local picker
    picker=$(xdotool search --sync --onlyvisible --name "^Compare With$" | head -1)
    [ -n "$picker" ] || fail "no Compare With window"
    xdotool windowfocus --sync "$picker"
  }
  open_picker() {
    centre_of "Compare With"
    gaps click:$xy wait:1
    focus_picker
  }

  QT_QPA_PLATFORM=xcb "$app" >"$scratch/app.log" 2>&1 &
  pid=$!
  trap "kill $pid 2>/dev/null || true; wait $pid 2>/dev/null || true" EXIT
  /usr/bin/python3 scripts/atspi.py wait 60 >/dev/null || fail "no main window"
  main=$(xdotool search --onlyvisible --name "^Tessarine$" | head -1)
  xdotool windowfocus --sync "$main"

  gaps key:ctrl+3 wait:2
  open_picker
  check opened "Demo controller"
  shot 1-opened
  # A wheel rolled over the list scrolls it and leaves the words and the pick alone.
  read -r lx ly < <(xdotool getwindowgeometry --shell "$(xdotool search --onlyvisible --name "^Compare With$" | head -1)" |
    awk -F= "/^X=/ { x = \$2 } /^Y=/ { y = \$2 } END { print x + 200, y + 200 }")
  xdotool mousemove "$lx" "$ly" click 5 click 5 click 5 click 4
  check opened "Demo controller"
  gaps key:s key:e key:r key:minus key:0 key:7 key:7 key:7 wait:1
  check found ser-0777 5
  shot 2-found
  gaps key:Down key:Return wait:2
  check closed
  centre_of "Before and after"
  shot 3-compared

  # Done (Return) ends the comparison; Escape closes the picker and compares nothing.
  xdotool windowfocus --sync "$main"
  gaps key:Return wait:1
  open_picker
  gaps key:x key:Escape wait:1
  check closed
  /usr/bin/python3 scripts/atspi.py centre "Before and after" >/dev/null 2>&1 && fail "Escape started a comparison"
  shot 4-escaped
  kill -0 $pid 2>/dev/null || fail "the application ended"
  echo "compare-road: the longest wait was $longest ms"
' road "$scratch" "$out" "$app" "$limit"
echo "compare-road: passed; screenshots in $out"
