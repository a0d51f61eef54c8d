#!/bin/sh
# The report tool reads session files and writes a PDF: it must load neither SDL nor udev, which
# only the window's device layer needs. Usage: report-links-test.sh REPORT
set -u
report=$1
libraries=$(ldd "$report") || { echo "FAIL: ldd could not read $report"; exit 1; }
found=$(printf '%s\n' "$libraries" | grep -Ei 'libSDL|libudev')
if [ -n "$found" ]; then
    echo "FAIL: $report loads the device layer's libraries:"
    printf '%s\n' "$found" | sed 's/^/    /'
    exit 1
fi
echo "$report loads no SDL and no udev"
