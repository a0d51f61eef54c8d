#!/usr/bin/env bash
# deps.sh [--package | --test]: installs the Debian packages a step needs, only those missing.
#   (nothing)   what building and running the application needs (scripts/run.sh)
#   --package   and what making its Debian package needs (scripts/package.sh)
#   --test      and everything the test command runs (scripts/test.sh): GoogleTest, Benchmark,
#               clang for the sanitizer builds and fuzzing, a virtual X server and its tools, and the package checks
set -euo pipefail
# rsvg-convert (librsvg2-bin) renders the PNG icons from the SVG.
app=(build-essential cmake ninja-build pkg-config qt6-base-dev libsdl2-dev libudev-dev
  nlohmann-json3-dev libsimdjson-dev uuid-dev libfontconfig-dev libxcb1-dev librsvg2-bin)
# dpkg-shlibdeps (dpkg-dev) reads the programs' libraries, which CPack finds with file.
package=(dpkg-dev file)
tests=(libgtest-dev libgmock-dev libbenchmark-dev xvfb xauth x11-utils xdotool at-spi2-core
  python3-pyatspi dbus-x11 poppler-utils fonts-dejavu-core python3 clang libclang-rt-14-dev appstream
  desktop-file-utils lintian)
case "${1:-}" in
  "") packages=("${app[@]}") ;;
  --package) packages=("${app[@]}" "${package[@]}") ;;
  --test) packages=("${app[@]}" "${package[@]}" "${tests[@]}") ;;
  *) echo "Usage: deps.sh [--package | --test]" >&2; exit 2 ;;
esac
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
