#!/usr/bin/env bash
# package.sh [BUILD_DIR]: makes the Debian package tessarine_VERSION_ARCH.deb: the two programs
# (tessarine, tessarine-report), stripped as they are packaged, with the desktop entry, icons,
# AppStream metainfo, manual pages, udev rule, copyright and changelog; its dependencies come
# from the libraries the programs link. Beside it tessarine-dbgsym_VERSION_ARCH.ddeb holds the
# programs' debug symbols. Installs the Debian packages the build needs first.
#
# Without BUILD_DIR it makes a Release build of the two programs alone (no tests, no benchmarks)
# in build-package and the package there; install it with
#   sudo apt install ./build-package/tessarine_*.deb
# With BUILD_DIR it packages the programs already built there, into that folder: the test
# command packages its own normal build this way, so its package check costs no second build.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh --package
if [ $# -gt 0 ]; then
  dir=$1
  [ -f "$dir/CPackConfig.cmake" ] || { echo "package.sh: $dir is not a configured build folder" >&2; exit 2; }
  # Only what the package holds: the folder need not have its tests built.
  cmake --build "$dir" --target tessarine tessarine-report tessarine_documents
else
  dir=build-package
  # Optimised as Release, with debug information for the debug-symbols package.
  options=(-DCMAKE_BUILD_TYPE=Release "-DCMAKE_CXX_FLAGS_RELEASE=-O3 -DNDEBUG -g" -DBUILD_TESTING=OFF
    -DTESSARINE_BUILD_BENCH=OFF)
  if command -v ccache >/dev/null; then options+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
  scripts/build.sh "$dir" "${options[@]}"
fi
rm -f "$dir"/tessarine_*.deb "$dir"/tessarine-dbgsym_*.ddeb
# CPack installs into a staging folder, moves the debug information out to the dbgsym package and
# strips there.
(cd "$dir" && cpack -G DEB >/dev/null)
deb=$(ls "$dir"/tessarine_*.deb)
ddeb=$(ls "$dir"/tessarine-dbgsym_*.ddeb)
# CPack 3.25 lists the debug files in the dbgsym package's md5sums by their staging paths and
# gives it no documentation folder. It is remade as Debian's own are: sums by package path,
# plain (not executable) debug files, and its documentation folder a link to the program's.
fix=$(mktemp -d)
dpkg-deb -R "$ddeb" "$fix/root"
(
  cd "$fix/root"
  chmod 0644 usr/lib/debug/.build-id/*/*.debug
  find usr -type f | LC_ALL=C sort | xargs md5sum > DEBIAN/md5sums
  mkdir -p usr/share/doc
  ln -s tessarine usr/share/doc/tessarine-dbgsym
)
dpkg-deb --root-owner-group -Zxz -b "$fix/root" "$ddeb" >/dev/null
rm -rf "$fix"
echo "Made $deb ($(( $(stat -c %s "$deb") / 1024 )) KiB) and $ddeb ($(( $(stat -c %s "$ddeb") / 1024 )) KiB)"
