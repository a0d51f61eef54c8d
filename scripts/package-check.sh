#!/usr/bin/env bash
# package-check.sh [BUILD_DIR]: makes the Debian package (scripts/package.sh, from the programs
# built in BUILD_DIR if given: the test command passes its own normal build) and checks it: the
# files it must hold (dpkg-deb -c), the PNG icons in every size, its control data (the postinst
# that applies the udev rule, dependencies found by dpkg-shlibdeps, the Wayland platform
# recommended, versions that agree), stripped programs whose debug symbols the dbgsym package
# holds by build ID, with no path of the machine that built them, and no .comment sections, the
# AppStream metainfo (appstreamcli validate --no-net), the desktop entry (desktop-file-validate
# with nothing to say, one main category, startup notification), the manual pages' files and
# environment, both
# programs' command lines run from the package unpacked into a scratch root (dpkg -x), the report
# tool loading neither SDL, udev, Qt Widgets nor Print Support (ldd), the application not linking SDL (readelf), and
# lintian, which must find no errors in either package; its warnings are listed.
set -euo pipefail
cd "$(dirname "$0")/.."
started=$SECONDS
scripts/package.sh "$@"
echo "packaging took $((SECONDS - started)) s"
deb=$(ls "${1:-build-package}"/tessarine_*.deb)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0
fail() { echo "package-check: $1"; failures=$((failures + 1)); }

echo "-- files"
dpkg-deb -c "$deb" | awk '{print $NF}' > "$scratch/files"
for path in usr/bin/tessarine usr/bin/tessarine-report \
    usr/share/applications/com.quenlow.Tessarine.desktop \
    usr/share/icons/hicolor/scalable/apps/com.quenlow.Tessarine.svg \
    usr/share/metainfo/com.quenlow.Tessarine.metainfo.xml \
    usr/share/man/man1/tessarine.1.gz usr/share/man/man1/tessarine-report.1.gz \
    usr/lib/udev/rules.d/70-tessarine-hidraw.rules usr/lib/tessarine/tessarine-network.so \
    usr/share/doc/tessarine/copyright usr/share/doc/tessarine/changelog.gz; do
  grep -qx "\./$path" "$scratch/files" || fail "the package lacks /$path"
done
for size in 16 22 24 32 48 64 128 256 512; do
  icon=usr/share/icons/hicolor/${size}x${size}/apps/com.quenlow.Tessarine.png
  grep -qx "\./$icon" "$scratch/files" || fail "the package lacks /$icon"
done
echo "$(grep -vc '/$' "$scratch/files") files"

echo "-- control"
dpkg-deb -e "$deb" "$scratch/control"
dpkg -x "$deb" "$scratch/root"
grep -q "udevadm control --reload-rules" "$scratch/control/postinst" &&
  grep -q "udevadm trigger --subsystem-match=hidraw" "$scratch/control/postinst" ||
  fail "the postinst does not reload the udev rules and trigger the hidraw devices"
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for library in libqt6widgets6 libudev1 libc6; do
  grep -q "$library" <<<"$depends" || fail "Depends lacks $library: dpkg-shlibdeps did not run?"
done
# SDL is loaded at run time, so the package must name it itself.
grep -q "libsdl2-2.0-0" <<<"$depends" || fail "Depends lacks libsdl2-2.0-0, which tessarine loads when it starts SDL"
grep -qw "qt6-wayland" <<<"$(dpkg-deb -f "$deb" Recommends)" || fail "the package does not recommend qt6-wayland"
version=$(dpkg-deb -f "$deb" Version)
zcat "$scratch/root/usr/share/doc/tessarine/changelog.gz" | head -1 | grep -q "^tessarine ($version)" || fail "the changelog's latest entry is not version $version"
grep -q "<release version=\"$version\"" "$scratch/root/usr/share/metainfo/com.quenlow.Tessarine.metainfo.xml" ||
  fail "the metainfo has no release $version"

echo "-- programs"
for program in tessarine tessarine-report; do
  file "$scratch/root/usr/bin/$program" | grep -q ", stripped" || fail "$program is not stripped"
done
for binary in usr/bin/tessarine usr/bin/tessarine-report usr/lib/tessarine/tessarine-network.so; do
  if readelf -S "$scratch/root/$binary" | grep -q '\.comment'; then fail "/$binary keeps its .comment section"; fi
done
# The update check's network part, loaded by path from ../lib/tessarine beside /usr/bin.
module=$scratch/root/usr/lib/tessarine/tessarine-network.so
file "$module" | grep -q ", stripped" || fail "the network module is not stripped"
nm -D --defined-only "$module" | grep -qw tessarineMakeFeedFetcher || fail "the network module does not export its entry"
if readelf -d "$scratch/root/usr/bin/tessarine" | grep -q 'NEEDED.*libQt6Network'; then
  fail "tessarine links Qt Network instead of loading its network module when it checks for updates"
fi
# Each program's debug information is in the dbgsym package, under the stripped program's build ID.
ddeb=$(ls "${1:-build-package}"/tessarine-dbgsym_*.ddeb 2>/dev/null) || fail "no debug-symbols package beside $deb"
if [ -n "${ddeb:-}" ]; then
  dpkg-deb -c "$ddeb" | awk '{print $NF}' > "$scratch/debug-files"
  grep -q "^tessarine (= $version)" <<<"$(dpkg-deb -f "$ddeb" Depends)" || fail "the dbgsym package does not depend on tessarine $version"
  for program in tessarine tessarine-report; do
    id=$(readelf -n "$scratch/root/usr/bin/$program" | awk '/Build ID/ {print $3}')
    [ -n "$id" ] || { fail "$program has no build ID"; continue; }
    grep -qx "\./usr/lib/debug/\.build-id/${id:0:2}/${id:2}\.debug" "$scratch/debug-files" ||
      fail "the dbgsym package has no debug symbols for $program (build ID $id)"
  done
  # The debug information names the sources relative to the tree, not where they were built.
  dpkg -x "$ddeb" "$scratch/debug"
  for folder in "$PWD" "$(realpath "${1:-build-package}")"; do
    if grep -rqF "$folder/" "$scratch/debug/usr/lib/debug"; then
      fail "the debug symbols name the build machine's folder $folder"
    fi
  done
fi
sh tests/packaging/command-line-test.sh "$scratch/root/usr/bin/tessarine" "$scratch/root/usr/bin/tessarine-report" ||
  fail "the installed programs' command lines"
sh tests/packaging/report-links-test.sh "$scratch/root/usr/bin/tessarine-report" ||
  fail "the installed report tool loads SDL, udev, Qt Widgets or Print Support"
# SDL is loaded when the controller thread starts it, not with the program: it and the libraries
# it needs would otherwise be mapped before the window can show.
if readelf -d "$scratch/root/usr/bin/tessarine" | grep -q 'NEEDED.*libSDL'; then
  fail "tessarine links SDL instead of loading it when the controller thread starts"
fi

echo "-- metainfo and desktop entry"
appstreamcli validate --no-net "$scratch/root/usr/share/metainfo/com.quenlow.Tessarine.metainfo.xml" ||
  fail "appstreamcli validate"
entry=$scratch/root/usr/share/applications/com.quenlow.Tessarine.desktop
# Hints count too: one of them says the entry may show twice in the menu.
said=$(desktop-file-validate "$entry" 2>&1) || fail "desktop-file-validate"
[ -z "$said" ] || { echo "$said"; fail "desktop-file-validate had something to say"; }
categories=$(grep '^Categories=' "$entry")
for category in Settings HardwareSettings; do
  grep -q ";$category;" <<<";${categories#Categories=}" || fail "the desktop entry is not in the category $category"
done
main=$(tr ';' '\n' <<<"${categories#Categories=}" |
  grep -cxE 'AudioVideo|Audio|Video|Development|Education|Game|Graphics|Network|Office|Science|Settings|System|Utility' || true)
[ "$main" -eq 1 ] || fail "the desktop entry has $main main categories, not one"
grep -qx 'StartupNotify=true' "$entry" || fail "the desktop entry does not ask for startup notification"

echo "-- manual pages"
manual=$(zcat "$scratch/root/usr/share/man/man1/tessarine.1.gz")
# Whole names: SDL_GAMECONTROLLERCONFIG is not named by SDL_GAMECONTROLLERCONFIG_FILE.
for name in Sessions Tessarine.conf gamecontrollerdb.txt XDG_DATA_DIRS SDL_GAMECONTROLLERCONFIG \
    SDL_GAMECONTROLLERCONFIG_FILE QT_LOGGING_RULES SDL_GAMECONTROLLER_IGNORE_DEVICES \
    SDL_GAMECONTROLLER_IGNORE_DEVICES_EXCEPT XDG_RUNTIME_DIR; do
  grep -qw "$name" <<<"$manual" || fail "the manual page of tessarine does not name $name"
done
manual=$(zcat "$scratch/root/usr/share/man/man1/tessarine-report.1.gz")
for name in '^\.SH ENVIRONMENT' QT_QPA_PLATFORM QT_LOGGING_RULES; do
  grep -q "$name" <<<"$manual" || fail "the manual page of tessarine-report lacks $name"
done

echo "-- lintian"
# Errors fail the check; warnings are listed for a person to weigh.
lintian --fail-on error --display-level ">=warning" "$deb" ${ddeb:+"$ddeb"} || fail "lintian found errors"

echo "$deb: $(( $(stat -c %s "$deb") / 1024 )) KiB"
if [ "$failures" -ne 0 ]; then
  echo "package-check: $failures failed"
  exit 1
fi
echo "package-check: passed"
