#!/usr/bin/env bash
# build.sh DIR [cmake options...] [-- --target T...]: configures DIR, then builds it (every
# target, or only the ones named after "--"). DIR is configured again only when the options differ
# from the last ones given for it, so a folder first configured before the test tools were
# installed picks up the tests when the test command builds it.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=$1; shift
options=()
while [ $# -gt 0 ] && [ "$1" != "--" ]; do options+=("$1"); shift; done
if [ $# -gt 0 ]; then shift; fi
jobs=$(nproc)
stamp="$dir/.build-options"
wanted=$(printf '%s\n' "${options[@]+"${options[@]}"}")
if [ ! -f "$dir/build.ninja" ] || [ "$(cat "$stamp" 2>/dev/null)" != "$wanted" ]; then
  cmake -S . -B "$dir" -G Ninja "${options[@]+"${options[@]}"}" >/dev/null
  printf '%s' "$wanted" > "$stamp"
fi
cmake --build "$dir" -j "$jobs" "$@"
