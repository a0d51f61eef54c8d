#!/usr/bin/env bash
# instance-road.sh [OUT_DIR]: one window per user, on a virtual X server the size of a
# 1366 × 768 laptop's screen, with the built application. In turn:
# - the first window lies wholly on the screen and carries its icon (_NET_WM_ICON), found among
#   the PNG icons the build renders;
# - covered by another program's window, it comes back on top when the application is started
#   again, and the later launch ends with status 0 and opens no window; the token its launcher
#   gave it (XDG_ACTIVATION_TOKEN, or the X11 DESKTOP_STARTUP_ID) is handed over, and the window
#   takes it as its _NET_STARTUP_ID; --version still answers meanwhile;
# - the instance runs under a limit of 1,024 descriptors while a peer of the same user holds
#   1,100 connections to it that never send anything: the window's thread stays under 5 % of a
#   core, the log gains a few lines at most, and a later launch is still answered;
# - a peer that keeps 64 connections and makes a new one the moment one is closed or turned
#   away: the window's thread stays under 5 % of a core, and each of three launches meanwhile is
#   answered within 100 ms (the figures are printed);
# - a stopped (hung) instance: a later launch says so and opens a window of its own within its
#   short wait (the figure is printed);
# - SIGTERM ends the instance through Quit with status 0, its settings (the window's place)
#   written;
# - a place kept from a 1920 × 1080 monitor comes back whole on this screen;
# - killed as a crash would end it, the instance leaves nothing that stops the next start.
# Leaves screenshots in OUT_DIR (default build/instance-road). Settings, sessions and the runtime
# folder are throw-away folders. Expects build/app/tessarine and the icons (target
# tessarine_documents) to be built.
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

xvfb-run -a -s "-screen 0 1366x768x24 -fbdir $scratch/fb" dbus-run-session -- bash -c '
  set -euo pipefail
  scratch=$1 out=$2 app=$3 road=instance-road
  # shot, fail and wait_for; several processes run here, so no `pid` is watched.
  source scripts/road-helpers.sh
  settings="$XDG_CONFIG_HOME/com.quenlow/Tessarine.conf"
  pids=()
  trap "kill -CONT \${pids[*]} 2>/dev/null || true; kill \${pids[*]} 2>/dev/null || true; wait 2>/dev/null || true" EXIT
  windows() { xdotool search --onlyvisible --name "^Tessarine$" 2>/dev/null || true; }
  window_count() { windows | grep -c . || true; }
  some_window() { [ "$(window_count)" -ge 1 ]; }
  two_windows() { [ "$(window_count)" -ge 2 ]; }
  no_window() { [ "$(window_count)" -eq 0 ]; }
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
  # on_screen WINDOW: the window lies wholly on the 1366 x 768 screen.
  on_screen() {
    local X Y WIDTH HEIGHT SCREEN WINDOW
    eval "$(xdotool getwindowgeometry --shell "$1")"
    echo "instance-road: window at $X,$Y, $WIDTH x $HEIGHT"
    [ "$X" -ge 0 ] && [ "$Y" -ge 0 ] && [ $((X + WIDTH)) -le 1366 ] && [ $((Y + HEIGHT)) -le 768 ]
  }
  logged() { grep -q "$2" "$scratch/$1.log"; }
  # Clock ticks the window'"'"'s thread (the process'"'"'s first) has run: fields 14 and 15 of its
  # stat, counted from the closing parenthesis, as the name may hold blanks.
  thread_ticks() { sed "s/.*) //" "/proc/$1/task/$1/stat" | awk "{print \$12 + \$13}"; }
  hz=$(getconf CLK_TCK)
  # share PID SECONDS: the share of one core the window'"'"'s thread takes over SECONDS, percent.
  share() {
    local before after
    before=$(thread_ticks "$1"); sleep "$2"; after=$(thread_ticks "$1")
    awk -v t=$((after - before)) -v hz="$hz" -v s="$2" "BEGIN { printf \"%.1f\", 100 * t / hz / s }"
  }

  # The test command runs Qt offscreen; this run needs the real X server.
  export QT_QPA_PLATFORM=xcb
  # The descriptor limit most desktops give a program.
  prlimit --nofile=1024 "$app" >"$scratch/first.log" 2>&1 &
  first=$!
  pids+=($first)
  wait_for 60 "main window" some_window
  sleep 0.5
  [ "$(window_count)" -eq 1 ] || fail "the first start opened $(window_count) windows"
  window=$(windows)
  # The icon is looked up off the window thread and set when found, after the window shows.
  has_icon() { xprop -id "$window" _NET_WM_ICON | grep -q "_NET_WM_ICON(CARDINAL) = "; }
  wait_for 10 "icon on the window" has_icon
  on_screen "$window" || fail "the first window does not lie wholly on the 1366 x 768 screen"
  shot first

  # Another program'"'"'s window over the whole screen.
  xmessage -geometry 1366x768+0+0 "covering the bench" &
  pids+=($!)
  wait_for 20 "covering window" xdotool search --onlyvisible --name "^xmessage$"
  cover=$(xdotool search --onlyvisible --name "^xmessage$" | head -1)
  above "$cover" "$window" || fail "the covering window is not on top"

  "$app" --version >"$scratch/version.log" 2>&1 || fail "--version failed while an instance runs"
  grep -q "^tessarine " "$scratch/version.log" || fail "--version printed no version while an instance runs"

  # A later launch, with the token its launcher gave it.
  status=0
  XDG_ACTIVATION_TOKEN=road-token-7f3a timeout 30 "$app" >"$scratch/second.log" 2>&1 || status=$?
  [ "$status" -eq 0 ] || fail "the second launch ended with $status, not 0"
  kill -0 $first 2>/dev/null || fail "the first instance ended"
  wait_for 10 "first window on top" above "$window" "$cover"
  [ "$(window_count)" -eq 1 ] || fail "the second launch left $(window_count) windows"
  logged first "A later launch asked for the window" || fail "the first instance did not log the request"
  logged first "Activated the window with the later launch.s activation token .road-token-7f3a." ||
    fail "the first instance did not say it activated its window with the token"
  xprop -id "$window" _NET_STARTUP_ID | grep -q "\"road-token-7f3a\"" || fail "the window did not take the token"
  # An X11 startup id, with the time of the launch.
  DESKTOP_STARTUP_ID="road-host;1;2;3_TIME12345" timeout 30 "$app" >"$scratch/third.log" 2>&1 ||
    fail "the launch with a startup id ended with $?"
  wait_for 10 "the startup id logged" logged first "with the later launch.s startup id .road-host;1;2;3_TIME12345."
  xprop -id "$window" _NET_STARTUP_ID | grep -q "\"road-host;1;2;3_TIME12345\"" || fail "the window did not take the startup id"
  shot raised

  # A peer of the same user holds 1,100 connections that never send anything, while another
  # program has the focus (an active window costs its thread more with the demo playing).
  xdotool windowfocus --sync "$cover"
  sleep 1
  idle=$(share $first 3)
  lines=$(wc -l <"$scratch/first.log")
  flooded=$SECONDS
  prlimit --nofile=4096 python3 scripts/instance-flood.py 1100 600 "$scratch/flood.ready" >"$scratch/flood.log" 2>&1 &
  flood=$!
  pids+=($flood)
  busy=$(share $first 5)
  [ -s "$scratch/flood.ready" ] || fail "the peer had not opened its connections after 5 s"
  [ "$(cat "$scratch/flood.ready")" -eq 1100 ] || fail "the peer opened $(cat "$scratch/flood.ready") connections, not 1100"
  echo "instance-road: the window'"'"'s thread took $idle % of a core before the flood, $busy % while 1,100 idle connections were opened and held"
  awk -v b="$busy" "BEGIN { exit !(b < 5) }" || fail "the window'"'"'s thread took $busy % of a core under the flood"
  status=0
  timeout 30 "$app" >"$scratch/during-flood.log" 2>&1 || status=$?
  [ "$status" -eq 0 ] || fail "a launch during the flood ended with $status, not 0"
  [ "$(window_count)" -eq 1 ] || fail "a launch during the flood left $(window_count) windows"
  added=$(( $(wc -l <"$scratch/first.log") - lines ))
  echo "instance-road: the log gained $added lines under the flood"
  [ "$added" -le 4 ] || fail "the log gained $added lines under the flood"
  kill $flood
  wait $flood 2>/dev/null || true

  # A peer that reconnects without a pause, and real launches among its connections.
  python3 scripts/instance-flood.py --reconnect 64 600 "$scratch/reconnect.ready" >"$scratch/reconnect.log" 2>&1 &
  flood=$!
  pids+=($flood)
  wait_for 10 "the reconnecting peer" test -s "$scratch/reconnect.ready"
  lines=$(wc -l <"$scratch/first.log")
  busy=$(share $first 5)
  echo "instance-road: the window'"'"'s thread took $busy % of a core while a peer reconnected without a pause"
  awk -v b="$busy" "BEGIN { exit !(b < 5) }" || fail "the window'"'"'s thread took $busy % of a core while a peer reconnected"
  for n in 1 2 3; do
    status=0
    timeout 30 "$app" >"$scratch/reconnect-launch-$n.log" 2>&1 || status=$?
    [ "$status" -eq 0 ] || fail "launch $n among the reconnections ended with $status, not 0"
    took=$(sed -n "s/.*took the request in \([0-9.]*\) ms.*/\1/p" "$scratch/reconnect-launch-$n.log")
    [ -n "$took" ] || fail "launch $n among the reconnections did not say when it was answered"
    echo "instance-road: launch $n among the reconnections was answered in $took ms"
    awk -v t="$took" "BEGIN { exit !(t < 100) }" || fail "launch $n among the reconnections waited $took ms for its answer"
  done
  [ "$(window_count)" -eq 1 ] || fail "the launches among the reconnections left $(window_count) windows"
  kill $flood
  wait $flood 2>/dev/null || true
  sed -n "s/^instance-flood: made/instance-road: the peer made/p" "$scratch/reconnect.log"
  added=$(( $(wc -l <"$scratch/first.log") - lines ))
  [ "$added" -le 6 ] || fail "the log gained $added lines while a peer reconnected"

  # A hung instance: a later launch waits its short while, says so and opens its own window.
  kill -STOP $first
  started=$(date +%s.%N)
  "$app" >"$scratch/unanswered.log" 2>&1 &
  unanswered=$!
  pids+=($unanswered)
  wait_for 10 "word that the instance did not answer" logged unanswered "did not answer within"
  said=$(date +%s.%N)
  wait_for 60 "window of the launch that was not answered" two_windows
  shown=$(date +%s.%N)
  awk -v a="$started" -v b="$said" -v c="$shown" "BEGIN {
    printf \"instance-road: with the instance stopped, a later launch said so after %.2f s and showed its window after %.2f s\n\", b - a, c - a }"
  kill -TERM $unanswered
  wait $unanswered || fail "the launch that was not answered ended with $? on SIGTERM"
  kill -CONT $first

  # SIGTERM: the Quit path, status 0, the settings written.
  rm -f "$settings"
  kill -TERM $first
  deadline=$((SECONDS + 10))
  while kill -0 $first 2>/dev/null; do
    [ $SECONDS -lt $deadline ] || fail "the instance did not end within 10 s of SIGTERM"
    sleep 0.1
  done
  status=0
  wait $first || status=$?
  [ "$status" -eq 0 ] || fail "the instance ended with $status on SIGTERM, not 0"
  logged first "Quitting on SIGTERM" || fail "the instance did not say it quit on SIGTERM"
  ! logged first "ending without" || fail "the instance did not end through Quit"
  grep -q "^mainWindowPlace=" "$settings" 2>/dev/null || fail "the settings were not written on SIGTERM"
  echo "instance-road: kept $(grep "^mainWindowPlace=" "$settings")"

  # A place kept on a 1920 x 1080 monitor, large and towards its lower right.
  sed -i "s/^mainWindowPlace=.*/mainWindowPlace=\"560,300,1800,1000\"/" "$settings"
  "$app" >"$scratch/restored.log" 2>&1 &
  restored=$!
  pids+=($restored)
  wait_for 60 "main window with the kept place" some_window
  sleep 0.5
  on_screen "$(windows)" || fail "the window kept on a larger screen does not lie wholly on this one"
  shot restored

  # A crash: no chance to clean anything up.
  kill -9 $restored
  wait $restored 2>/dev/null || true
  wait_for 20 "the window gone" no_window
  "$app" >"$scratch/after-crash.log" 2>&1 &
  pids+=($!)
  wait_for 60 "main window after a crash" some_window
  echo "instance-road: passed"
' bash "$scratch" "$out" "$app"
