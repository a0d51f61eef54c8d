# Sourced inside a road's virtual X session (after road-setup.sh set it up): the steps the roads
# share. Expects `road` (its name, for messages), `scratch`, `out` and, once the application
# runs, `pid` (a road that runs several leaves it unset); the logs go to $scratch/*.log, the
# application's own to $scratch/app.log.
screen="$scratch/fb/Xvfb_screen0"
atspi="/usr/bin/python3 scripts/atspi.py"
# shot NAME: a screenshot as $out/NAME.png.
shot() { python3 scripts/xwd2png.py "$screen" "$out/$1.png"; }
# fail WHY: says why with a screenshot and the end of each log, and ends the road.
fail() {
  local log
  echo "$road: $1"
  shot failed || true
  for log in "$scratch"/*.log; do
    [ -e "$log" ] || continue
    echo "$road: the end of $(basename "$log"):"; tail -20 "$log"
  done
  exit 1
}
# wait_for SECONDS WHAT COMMAND...: runs COMMAND every 0.2 s until it succeeds; fails early when
# the application (`pid`, where set) ends meanwhile.
wait_for() {
  local seconds=$1 what=$2
  shift 2
  local deadline=$((SECONDS + seconds))
  until "$@" >/dev/null 2>&1; do
    [ -z "${pid:-}" ] || kill -0 "$pid" 2>/dev/null || fail "the application ended while waiting for $what"
    [ $SECONDS -lt $deadline ] || fail "no $what after $seconds s"
    sleep 0.2
  done
}
# click_on PATH: a real click in the middle of the element that reads PATH (scripts/atspi.py).
click_on() {
  local xy
  wait_for 20 "\"$1\" on the screen" $atspi centre "$1"
  xy=$($atspi centre "$1")
  xdotool mousemove --sync $xy click 1
}
# quit_within SECONDS: Ctrl+Q after a click that gives the window the keys (without a window
# manager keys go to the window under the pointer); the process must end with status 0 in time.
# Sets `quit_took`, the seconds it took.
quit_within() {
  local start deadline status=0
  xdotool mousemove --sync 60 800 click 1
  start=$(date +%s.%N)
  xdotool key ctrl+q
  deadline=$((SECONDS + $1))
  while kill -0 $pid 2>/dev/null; do
    [ $SECONDS -lt $deadline ] || fail "the process did not end within $1 s of Quit"
    sleep 0.05
  done
  wait $pid || status=$?
  quit_took=$(printf %.2f "$(echo "$(date +%s.%N) - $start" | bc)")
  [ "$status" -eq 0 ] || fail "the application ended with status $status"
}
# launch [NAME=VALUE...]: starts the application ($app) on the X server with those variables set,
# waits for its main window and puts it at the screen's corner at 1320 x 860. Sets `pid` and
# `window`; the process is killed when the road ends early.
launch() {
  env "$@" QT_QPA_PLATFORM=xcb "$app" >"$scratch/app.log" 2>&1 &
  pid=$!
  trap "kill -9 $pid 2>/dev/null || true" EXIT
  wait_for 60 "main window" xdotool search --onlyvisible --name "^Tessarine$"
  window=$(xdotool search --onlyvisible --name "^Tessarine$" | head -1)
  xdotool windowsize --sync "$window" 1320 860 windowmove --sync "$window" 0 0
}
