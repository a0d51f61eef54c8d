#!/usr/bin/env bash
# build.sh DIR [cmake options...] [-- --target T...]: configures DIR once, then builds it (every
# target, or only the ones named after "--").
set -euo pipefail
cd "$(dirname "$0")/.."
dir=$1; shift
options=()
while [ $# -gt 0 ] && [ "$1" != "--" ]; do options+=("$1"); shift; done
if [ $# -gt 0 ]; then shift; fi
jobs=$(nproc)
if [ ! -f "$dir/build.ninja" ]; then
  cmake -S . -B "$dir" -G Ninja "${options[@]}" >/dev/null
fi
cmake --build "$dir" -j "$jobs" "$@"
