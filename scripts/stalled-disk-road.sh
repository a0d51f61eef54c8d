#!/usr/bin/env bash
# stalled-disk-road.sh [OUT_DIR]: the built application on a virtual X server with two folders on
# a disk that stops answering: an open of any file inside them never returns, as on a network
# mount whose server went away (bench/tools/stall_open.cpp, loaded with LD_PRELOAD). The session
# folder is read first; then the disk stops. With real clicks and keys the road saves the
# History's session as a PDF report into the stalled export folder, exports every saved session
# as JSON there, and saves the demo controller's session into the stalled session folder. Each
# write is held by the disk; meanwhile the window is pinged without a pause and must answer every
# ping within 250 ms (scripts/answer-gaps.py). Ctrl+Q then waits for the session save and shows
# "Saving 1 session…"; Quit Anyway, which names the session, must end the process, with status
# 0, within 6 s (its quit deadline is 4 s), the log naming the file work it left behind and the
# session lost.
#
# Then the disk is only slow: every open in the session folder takes 2.5 s. A session saved just
# before Ctrl+Q, and one saved just before each of SIGTERM, SIGINT and SIGHUP, is on disk when the
# process has ended by itself, with status 0; Ctrl+Q shows the wait meanwhile. Last, an open takes
# 10.5 s, longer than a signal's wait: the save lands in the shutdown's moment, and the log says
# so and claims no loss. A log that names a loss of a save that landed fails the road.
#
# Leaves screenshots in OUT_DIR (default build/stalled-disk-road). Everything goes to a throw-away
# folder. Expects build/app/tessarine and the bench tools (stall-open, seed-history) to be built.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/road-setup.sh
road_setup stalled-disk-road "${1:-}"
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
export TZ=UTC
sessions="$scratch/data/com.quenlow.Tessarine/Sessions"
tools=$(realpath build/bench)
"$tools/seed-history" "$sessions" 20
export HOME="$scratch/home"
mkdir -p "$HOME/stalled"

xvfb-run -a -s "-screen 0 1440x960x24 -fbdir $scratch/fb" dbus-run-session -- bash -c '
  set -euo pipefail
  scratch=$1 out=$2 app=$3 tools=$4 sessions=$5
  road=stalled-disk-road
  source scripts/road-helpers.sh
  panel() { wait_for 20 "$1" xdotool search --onlyvisible --name "$2"; }
  # held FOLDER COUNT: the disk holds COUNT opens in FOLDER.
  held() { [ "$(grep -c "^stall-open: holding $1/" "$scratch/app.log")" -ge "$2" ]; }
  # save_demo: the demo controller'"'"'s session saved through its sheet. Without a window manager
  # keys go to the window under the pointer: a click in the sidebar'"'"'s empty space gives it the
  # keys, and Home picks its first row, the demo controller.
  save_demo() {
    xdotool mousemove --sync 60 780 click 1
    xdotool key Home
    wait_for 20 "demo controller picked" $atspi centre "Unit, serial or ticket number"
    xdotool key ctrl+s
    panel "save-session sheet" "^Save Session"
    xdotool key Return
  }
  # ended_within SECONDS: the process ends by itself in time, with status 0; sets ended_took.
  ended_within() {
    local start=$SECONDS status=0
    until ! kill -0 $pid 2>/dev/null; do
      [ $((SECONDS - start)) -lt $1 ] || fail "the process did not end within $1 s"
      sleep 0.05
    done
    wait $pid || status=$?
    ended_took=$((SECONDS - start))
    [ "$status" -eq 0 ] || fail "the application ended with status $status"
  }
  saved() { find "$sessions" -maxdepth 1 -name "*.json" | wc -l; }
  # answers: the window answers every ping for 2 s, none later than 250 ms.
  answers() {
    local gaps
    gaps=$(python3 scripts/answer-gaps.py Tessarine 250 wait:2) || { echo "$gaps"; fail "the window stopped answering ($1)"; }
    echo "stalled-disk-road: $1: longest wait $(sed -n "s/^longest //p" <<<"$gaps") ms"
  }

  launch STALL_OPEN_DIR="$HOME/stalled:$sessions" STALL_OPEN_TRIGGER="$scratch/stall" LD_PRELOAD="$tools/libstall-open.so"
  wait_for 60 "history listed" $atspi enabled "Export All Sessions/JSON…"
  # History opens on its newest session, read whole before the disk stops.
  click_on "All Devices/History"
  wait_for 20 "a session picked" $atspi enabled "Export PDF Report…"
  wait_for 20 "the session shown" $atspi centre "Export"
  touch "$scratch/stall" # the disk stops answering from here

  # The PDF report of that session, into the stalled export folder: typed into the panel'"'"'s
  # name field.
  xdotool mousemove --sync 700 400 click 1
  xdotool key ctrl+e
  panel "file panel" "^Save As"
  xdotool key ctrl+a type --delay 20 "$HOME/stalled/report.pdf"
  xdotool key Return
  wait_for 20 "report held by the disk" held "$HOME/stalled" 1
  answers "report held"

  # Every session as JSON, there too.
  click_on "File"
  click_on "Export All Sessions"
  click_on "Export All Sessions/JSON…"
  panel "file panel" "^Save As"
  xdotool key ctrl+a type --delay 20 "$HOME/stalled/all.json"
  xdotool key Return
  wait_for 20 "export held by the disk" held "$HOME/stalled" 2
  answers "export held"
  shot export-held

  # The demo controller'"'"'s session, into the stalled session folder.
  save_demo
  wait_for 20 "session save held by the disk" held "$sessions" 1
  answers "save held"
  shot all-held

  # Quit waits for the session save and says so; Quit Anyway leaves the work the disk holds
  # behind, and the process ends in time.
  xdotool mousemove --sync 60 800 click 1
  xdotool key ctrl+q
  panel "quit wait" "^Quit Tessarine$"
  shot quit-waits
  kill -0 $pid || fail "Quit did not wait for the session save"
  # The keys go to the window under the pointer: over the wait, Tab leaves Cancel for Quit Anyway,
  # and Space presses it.
  xdotool mousemove --window "$(xdotool search --onlyvisible --name "^Quit Tessarine$" | head -1)" --sync 20 20
  xdotool key Tab space
  ended_within 6
  echo "stalled-disk-road: Quit Anyway ended the process in $ended_took s"
  grep -q "Quit Anyway; not done yet: the session “.*, Before repair”" "$scratch/app.log" ||
    fail "the log does not name the session Quit Anyway left"
  grep -q "^tessarine.model: Quitting now loses the session “.*, Before repair”" "$scratch/app.log" ||
    fail "the log does not name the session lost once the shutdown gave up on it"
  for work in "exporting 20 sessions to $HOME/stalled/all.json" "writing the report $HOME/stalled/report.pdf" \
              "saving the session .* in $sessions"; do
    grep -q "stuck in the system: $work" "$scratch/app.log" || fail "the log does not name \"$work\" as left behind"
  done

  # The disk is only slow from here: each open in the session folder takes 2.5 s.
  slow() {
    rm -f "$scratch/slow"
    launch STALL_OPEN_DIR="$sessions" STALL_OPEN_TRIGGER="$scratch/slow" STALL_OPEN_DELAY_MS=${1:-2500} \
      LD_PRELOAD="$tools/libstall-open.so"
    wait_for 60 "history listed" $atspi enabled "Export All Sessions/JSON…"
    touch "$scratch/slow"
    before=$(saved)
    save_demo
    wait_for 20 "session save slowed by the disk" grep -q "^stall-open: slowing $sessions/" "$scratch/app.log"
  }
  # after WHAT: the session saved last is on disk, and nothing half-written is left.
  # A save that lands claims no loss in the log.
  after() {
    [ "$(saved)" -eq $((before + 1)) ] || fail "the session saved before $1 was lost"
    [ -z "$(find "$sessions" -maxdepth 1 -name "*.tmp")" ] || fail "a temporary file was left after $1"
    ! grep -q "loses\|stuck in the system" "$scratch/app.log" || fail "the log names a loss after $1, yet the save landed"
    echo "stalled-disk-road: the slow save survived $1 (ended in $ended_took s)"
  }
  slow
  xdotool mousemove --sync 60 800 click 1
  xdotool key ctrl+q
  panel "quit wait" "^Quit Tessarine$"
  shot slow-save-waits
  ended_within 15
  grep -q "Quitting once this is written: Saving 1 session…" "$scratch/app.log" || fail "the log does not say what Quit waited for"
  after "Ctrl+Q"
  for signal in TERM INT HUP; do
    slow
    kill -$signal $pid
    ended_within 15
    grep -q "Quitting on SIG$signal" "$scratch/app.log" || fail "SIG$signal did not take the Quit path"
    after "SIG$signal"
  done
  # A save slower than the wait of a signal lands in the moment the shutdown gives it: the
  # give-up names it as not done yet, the shutdown as written, and nothing claims it was lost.
  slow 10500
  kill -TERM $pid
  ended_within 20
  if grep -q "Quitting on SIGTERM after 10 s" "$scratch/app.log"; then
    grep -q "for the session folder; not done yet: the session “.*, Before repair”" "$scratch/app.log" ||
      fail "the give-up does not name the session not written yet"
    grep -q "The session writes not done at the quit were written before the end" "$scratch/app.log" ||
      fail "the log does not say the session given up on was written after all"
    echo "stalled-disk-road: SIGTERM gave up on the save, which was written before the end"
  fi
  after "the wait of SIGTERM ran out"
' stalled-disk-road "$scratch" "$out" "$app" "$tools" "$sessions"
echo "stalled-disk-road: passed; screenshots in $out"
