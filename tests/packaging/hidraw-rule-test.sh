#!/bin/sh
# Plays the hidraw udev rule against made-up sysfs trees: each PROGRAM runs as udev would run it
# (its %S%p and $$ replaced, its RESULT matched as a glob), with a stand-in for udevadm that
# prints the classification written beside each input device. Usage: hidraw-rule-test.sh RULES
set -eu
rules=$1
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT

cat > "$root/udevadm" <<'FAKE'
#!/bin/sh
# udevadm test-builtin input_id <input device>: the properties it would set.
[ "$1 $2" = "test-builtin input_id" ] && [ -f "$3/classified" ] && cat "$3/classified"
FAKE
chmod +x "$root/udevadm"

# A HID device with a report descriptor (hex bytes) and input devices with their classification.
device() { # name descriptor-hex [classification ...]
    name=$1 hex=$2
    shift 2
    mkdir -p "$root/sys/devices/$name/hidraw/hidraw0"
    for byte in $hex; do printf "\\$(printf '%03o' "0x$byte")"; done > "$root/sys/devices/$name/report_descriptor"
    n=0
    for classification in "$@"; do
        mkdir -p "$root/sys/devices/$name/input/input$n"
        printf '%s\n' ID_INPUT=1 "$classification" > "$root/sys/devices/$name/input/input$n/classified"
        n=$((n + 1))
    done
}

# The rule's verdict for one node: "granted" or "private".
verdict() {
    node="/devices/$1/hidraw/hidraw0"
    granted=private
    while IFS= read -r line; do
        case $line in PROGRAM=*) ;; *) continue ;; esac
        program=$(printf '%s' "$line" | sed -e 's/^PROGRAM="\([^"]*\)".*/\1/' -e "s|%S%p|$root/sys$node|g" \
            -e 's/\$\$/$/g' -e "s|/bin/udevadm|$root/udevadm|g")
        result=$(printf '%s' "$line" | sed -n 's/.*RESULT=="\([^"]*\)".*/\1/p' | sed 's/ /\\ /g')
        output=$(eval "$program") && ok=yes || ok=no
        if [ "$ok" = yes ] && [ -n "$result" ]; then
            eval "case \"\$output\" in $result) ;; *) ok=no ;; esac"
        fi
        [ "$ok" = yes ] || continue
        case $line in *'TAG+="uaccess"'*) granted=granted ;; esac
        case $line in *GOTO=*) break ;; esac
    done < "$rules"
    echo "$granted"
}

failures=0
expect() { # name verdict
    got=$(verdict "$1")
    if [ "$got" != "$2" ]; then
        echo "FAIL: $1 is $got, expected $2"
        failures=$((failures + 1))
    fi
}

keyboard="05 01 09 06 a1 01 05 07 19 e0 29 e7 15 00 25 01 75 01 95 08 81 02 c0"
pad="05 01 09 05 a1 01 09 30 15 00 26 ff 00 75 08 95 01 81 02 c0"
wheel="05 02 09 02 a1 01 09 c5 15 00 26 ff 00 75 08 95 01 81 02 c0"
mouse="05 01 09 02 a1 01 09 01 a1 00 09 30 15 81 25 7f 75 08 95 01 81 06 c0 c0"
vendor="06 00 ff 09 01 a1 01 09 01 15 00 26 ff 00 75 08 95 08 81 02 c0"

# A game collection behind a vendor one: the kernel's joystick decides.
device composite-pad "$vendor $pad" ID_INPUT_JOYSTICK=1
expect composite-pad granted
# A descriptor that opens with a game collection, with no input device made for it.
device bare-pad "$pad"
expect bare-pad granted
device bare-wheel "$wheel"
expect bare-wheel granted
# Keyboards and mice stay private, also beside a joystick.
device keyboard "$keyboard" ID_INPUT_KEY=1
expect keyboard private
device keyboard-and-pad "$keyboard $pad" "ID_INPUT_KEYBOARD=1" ID_INPUT_JOYSTICK=1
expect keyboard-and-pad private
device pad-and-mouse "$pad $mouse" ID_INPUT_JOYSTICK=1 ID_INPUT_MOUSE=1
expect pad-and-mouse private
device vendor-only "$vendor"
expect vendor-only private
device touch-pad "$vendor" ID_INPUT_TOUCHPAD=1
expect touch-pad private

[ "$failures" -eq 0 ] && echo "every node as expected"
exit "$failures"
