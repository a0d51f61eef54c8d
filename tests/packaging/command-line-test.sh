#!/bin/sh
# The two programs' command lines, with no display to be had and no XDG_RUNTIME_DIR (as over SSH
# or from cron): --help and --version print and end with 0 before any window system is looked for,
# with nothing on standard error; a wrong option ends with a usage line and 2, the report tool's
# help lists its exit statuses, and a run of it that fails says only why. Usage: command-line-test.sh TESSARINE REPORT
set -u
app=$1 report=$2
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM XDG_RUNTIME_DIR
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
failures=0
fail() {
    echo "FAIL: $1"
    for f in "$out"/*; do sed 's/^/    /' "$f"; done
    failures=$((failures + 1))
}
# run NAME EXPECTED-STATUS COMMAND...: runs it with its output in $out/NAME.out and .err.
run() {
    name=$1 expected=$2
    shift 2
    rm -f "$out"/*
    "$@" >"$out/$name.out" 2>"$out/$name.err"
    status=$?
    [ "$status" -eq "$expected" ] || fail "$* ended with $status, not $expected"
}
# quiet NAME: the last run wrote nothing on standard error.
quiet() {
    [ ! -s "$out/$1.err" ] || fail "$1 wrote on standard error"
}

run version 0 "$app" --version
grep -Eqx 'tessarine [0-9]+\.[0-9]+\.[0-9]+' "$out/version.out" || fail "tessarine --version printed no version"
quiet version
run help 0 "$app" --help
grep -q -- '--version' "$out/help.out" || fail "tessarine --help does not name --version"
quiet help
run wrong 2 "$app" --no-such-option
grep -q '^Usage: tessarine' "$out/wrong.err" || fail "tessarine --no-such-option gave no usage line"

run report-version 0 "$report" --version
grep -Eqx 'tessarine-report [0-9]+\.[0-9]+\.[0-9]+' "$out/report-version.out" || fail "tessarine-report --version printed no version"
quiet report-version
run report-help 0 "$report" --help
grep -q '^Exit status:' "$out/report-help.out" || fail "tessarine-report --help lists no exit statuses"
grep -q '^Usage: tessarine-report --in' "$out/report-help.out" || fail "tessarine-report --help does not start with its usage"
quiet report-help
run report-wrong 2 "$report" --no-such-option
grep -q '^Usage: tessarine-report' "$out/report-wrong.err" || fail "tessarine-report --no-such-option gave no usage line"
grep -q 'XDG_RUNTIME_DIR' "$out/report-wrong.err" && fail "tessarine-report --no-such-option started the GUI before reading its options"
# A run starts the GUI for the fonts; what it says on standard error is only why it stopped.
run report-missing 1 "$report" --in "$out/missing.json" --out "$out/never.pdf"
[ "$(wc -l <"$out/report-missing.err")" -eq 1 ] && grep -q "^tessarine-report: Couldn't read $out/missing.json: " "$out/report-missing.err" ||
  fail "tessarine-report with a missing session file said more or less than why it stopped"

[ "$failures" -eq 0 ] && echo "command lines: as expected"
exit "$failures"
