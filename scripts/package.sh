#!/usr/bin/env bash
# package.sh: makes the Debian package build-package/tessarine_VERSION_ARCH.deb from a Release
# build of the two programs (tessarine, tessarine-report), stripped, with the desktop entry, icon,
# AppStream metainfo, manual pages, udev rule, copyright and changelog; its dependencies come
# from the libraries the programs link. Install it with
#   sudo apt install ./build-package/tessarine_*.deb
# Installs the Debian packages the build needs first; the tests and benchmarks are not built.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh --package
dir=build-package
options=(-DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DTESSARINE_BUILD_BENCH=OFF)
# Debian's hardening: stack protector, checked string functions, a read-only relocation table.
options+=("-DCMAKE_CXX_FLAGS=-fstack-protector-strong -fstack-clash-protection -fcf-protection -D_FORTIFY_SOURCE=2"
  "-DCMAKE_EXE_LINKER_FLAGS=-Wl,-z,relro -Wl,-z,now")
if command -v ccache >/dev/null; then options+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
scripts/build.sh "$dir" "${options[@]}"
rm -f "$dir"/tessarine_*.deb
(cd "$dir" && cpack -G DEB >/dev/null)
deb=$(ls "$dir"/tessarine_*.deb)
echo "Made $deb ($(( $(stat -c %s "$deb") / 1024 )) KiB)"
