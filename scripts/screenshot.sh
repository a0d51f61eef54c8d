#!/usr/bin/env bash
# screenshot.sh [OUT.png]: starts Tessarine the way the README does (scripts/run.sh) on a virtual
# X server, waits for its main window, which opens on the demo controller's device view (its
# header with battery, recording, value-source and tab pickers over the bench), lets the demo play
# for a moment and saves the whole screen as a PNG (default build/screenshot.png). Settings and sessions go to a throw-away
# folder, so your own are not touched.
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-build/screenshot.png}")
scripts/deps.sh --test
scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/fb" "$scratch/config" "$scratch/data"
export XDG_CONFIG_HOME="$scratch/config" XDG_DATA_HOME="$scratch/data"
xvfb-run -a -s "-screen 0 1440x960x24 -fbdir $scratch/fb" bash -c '
  scripts/run.sh >"$1/app.log" 2>&1 &
  app=$!
  for _ in $(seq 1 600); do
    xwininfo -name Tessarine 2>/dev/null | grep -q IsViewable && break
    sleep 0.1
  done
  sleep "${TESSARINE_SCREENSHOT_DELAY:-2}"
  python3 scripts/xwd2png.py "$1/fb/Xvfb_screen0" "$2"
  kill "$app" 2>/dev/null || true
  wait "$app" 2>/dev/null || true
' screenshot "$scratch" "$out"
echo "Saved $out"
