#!/usr/bin/env bash
# export-road.sh [OUT_DIR] [LIMIT_MS] [SESSIONS]: exports a history of SESSIONS saved sessions
# (default 5000, made by bench/tools/seed_history.cpp, and one with 31 MB of notes from
# scripts/long-sessions.py) with File › Export All Sessions, as JSON and then as CSV, in the built
# application on a virtual X server, choosing the menu items with real clicks and accepting the
# file panel's suggested name with Return, while the window is pinged without a pause
# (scripts/answer-gaps.py). Checks that
# - no input waited longer than LIMIT_MS (default 50) while the export ran;
# - the application's peak resident size grew by less than 100 MB during each export (its peak
#   is reset as the export starts, through /proc/PID/clear_refs);
# - each file equals byte for byte the export the whole-document code makes of the same folder
#   (bench/tools/export_reference.cpp, given the JSON document's own date and version); past
#   5000 sessions, whose whole-document export needs gigabytes, that it holds every session once;
# - an export cancelled with the progress panel's Cancel leaves no file and no temporary file;
# - Ctrl+Q then ends the process.
# Prints for each export its time, the longest wait, the peak growth and the resident size after,
# and what the window's thread was doing during its longest wait, as the application's stall watch
# saw it (TESSARINE_STALL_WATCH_MS, set to STALL_MS, default 25; scripts/late-answers.py). For
# comparison the idle window, the demo playing, is pinged for IDLE_S seconds first (default 3): on
# a loaded machine, a longer idle spell shows the waits the machine alone causes.
# Widgets are found over the accessibility bus (scripts/atspi.py). Leaves screenshots and the
# application's log in OUT_DIR (default build/export-road). Settings, sessions and the exports go to a throw-away folder.
# Expects build/app/tessarine and the bench tools (seed-history, export-reference) to be built.
set -euo pipefail
cd "$(dirname "$0")/.."
limit=${2:-50}
count=${3:-5000}
source scripts/road-setup.sh
road_setup export-road "${1:-}"
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
sessions="$scratch/data/com.quenlow.Tessarine/Sessions"
tools=$(realpath build/bench)
"$tools/seed-history" "$sessions" "$count"
python3 scripts/long-sessions.py --notes-only "$sessions"
# The file panel opens in the home folder; the exports land there.
export HOME="$scratch/home"
mkdir -p "$HOME"

xvfb-run -a -s "-screen 0 1440x960x24 -fbdir $scratch/fb" dbus-run-session -- bash -c '
  set -euo pipefail
  scratch=$1 out=$2 app=$3 limit=$4 tools=$5 sessions=$6 count=$7 stall=$8 idle_s=$9
  road=export-road
  source scripts/road-helpers.sh
  # late_answers SINCE: the window'"'"'s thread during its longest late answer logged past line SINCE.
  late_answers() {
    python3 scripts/late-answers.py "$scratch/app.log" "$1" "$app" | sed "s/^/export-road:   /"
  }
  kib() { sed -n "s/^$1:[[:space:]]*\([0-9]*\) kB/\1/p" /proc/$pid/status; }
  # choose FORMAT: File › Export All Sessions › FORMAT…, up to the open file panel.
  choose() {
    click_on "File"
    click_on "Export All Sessions"
    click_on "Export All Sessions/$1…"
    wait_for 20 "file panel" xdotool search --onlyvisible --name "^Save As"
  }

  launch TESSARINE_STALL_WATCH_MS="$stall"
  # The history is listed once the folder is read; the menu item waits for it.
  wait_for 60 "history listed" $atspi enabled "Export All Sessions/JSON…"

  # How long input waits with nothing exported, for comparison: the demo plays meanwhile.
  logged=$(wc -l <"$scratch/app.log")
  idle=$(python3 scripts/answer-gaps.py Tessarine 1000 wait:$idle_s | sed -n "s/^longest //p")
  echo "export-road: idle for ${idle_s} s: longest wait ${idle} ms; the window'"'"'s thread during its longest late answer (over ${stall} ms):"
  late_answers "$logged"

  for format in JSON CSV; do
    suffix=$(tr "[:upper:]" "[:lower:]" <<<"$format")
    file="$HOME/Tessarine sessions.$suffix"
    choose "$format"
    echo 5 >/proc/$pid/clear_refs # the peak starts again from here
    before=$(kib VmRSS)
    logged=$(wc -l <"$scratch/app.log")
    start=$(date +%s.%N)
    gaps=$(python3 scripts/answer-gaps.py Tessarine "$limit" key:Return "file:$file" wait:1) || {
      echo "$gaps"
      echo "export-road: $format: the window'"'"'s thread during its longest late answer:"
      late_answers "$logged"
      fail "the window did not answer in time during the $format export"
    }
    took=$(echo "$(date +%s.%N) - $start - 1" | bc)
    peak=$(kib VmHWM)
    after=$(kib VmRSS)
    longest=$(sed -n "s/^longest //p" <<<"$gaps")
    growth=$(((peak - before) / 1024))
    echo "export-road: $format: $(printf %.1f "$took") s, longest wait ${longest} ms, peak resident growth ${growth} MB, resident ${before} kB before and ${after} kB after"
    echo "export-road: $format: the longest waits (ms@s from Return): $(sed -n "s/^slowest //p" <<<"$gaps")"
    echo "export-road: $format: the window'"'"'s thread during its longest late answer (over ${stall} ms):"
    late_answers "$logged"
    shot "export-$suffix"
    [ "$growth" -lt 100 ] || fail "the $format export grew the application by ${growth} MB"
    if [ "$count" -gt 5000 ]; then
      # The whole-document export of a history this large needs gigabytes: the file is checked
      # whole instead, every session in it once.
      if [ "$format" = JSON ]; then
        found=$(grep -c "^    {$" "$file")
        [ "$(tail -n 2 "$file" | head -1)" = "  \"version\": 1" ] || fail "the JSON export ends early"
      else
        # A row starts with its session'"'"'s id; a quoted note'"'"'s later lines do not.
        found=$(grep -oE "^[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}," "$file" | sort -u | wc -l)
      fi
      [ "$found" -eq $((count + 1)) ] || fail "the $format export holds $found sessions, not $((count + 1))"
    else
      if [ "$format" = JSON ]; then
        exported=$(sed -n "s/^  \"exported\": \"\(.*\)\",$/\1/p" "$file" | head -1)
        version=$(sed -n "s/^  \"appVersion\": \"\(.*\)\",$/\1/p" "$file" | head -1)
        "$tools/export-reference" "$sessions" json "$exported" "$version" >"$scratch/reference"
      else
        "$tools/export-reference" "$sessions" csv >"$scratch/reference"
      fi
      cmp -s "$file" "$scratch/reference" || fail "the $format export differs from the whole-document export"
      rm -f "$scratch/reference"
    fi
  done

  # Cancelled as soon as its progress shows: no file, and nothing left beside it.
  rm -f "$HOME"/Tessarine\ sessions.*
  choose JSON
  xdotool key Return
  xy=$($atspi await 20 "Cancel the export") || fail "the export showed no Cancel"
  shot progress
  xdotool mousemove --sync $xy click 1
  shot cancelled
  # The worker removes its temporary file when it next looks, which on a busy machine may be
  # seconds away (it yields to every other program); then nothing may come back.
  leftovers() { find "$HOME" -mindepth 1 -maxdepth 1 -print; }
  for _ in $(seq 50); do [ -n "$(leftovers)" ] || break; sleep 0.2; done
  sleep 1
  [ -z "$(leftovers)" ] || fail "a cancelled export left $(leftovers)"
  grep -q "could not export" "$scratch/app.log" && fail "the log reports a failed export"

  quit_within 10
  cp "$scratch/app.log" "$out/app.log"
' export-road "$scratch" "$out" "$app" "$limit" "$tools" "$sessions" "$count" "${STALL_MS:-25}" "${IDLE_S:-3}"
echo "export-road: passed; screenshots in $out"
