#!/bin/sh
# The report tool reads session files and writes a PDF: it must load neither SDL nor udev, which
# only the window's device layer needs, nor Qt Widgets and Print Support, which only the window's
# print panel needs. Usage: report-links-test.sh REPORT
set -u
report=$1
libraries=$(ldd "$report") || { echo "FAIL: ldd could not read $report"; exit 1; }
found=$(printf '%s\n' "$libraries" | grep -Ei 'libSDL|libudev|libQt6Widgets|libQt6PrintSupport')
if [ -n "$found" ]; then
    echo "FAIL: $report loads libraries only the window needs:"
    printf '%s\n' "$found" | sed 's/^/    /'
    exit 1
fi
echo "$report loads no SDL, udev, Qt Widgets or Print Support"
