#!/usr/bin/env python3
"""late-answers.py LOG FROM_LINE PROGRAM [COUNT]: what the window's thread was doing during its COUNT
(default 1) longest late answers that the application's log LOG holds past its first FROM_LINE
lines, as its stall watch logged them (TESSARINE_STALL_WATCH_MS, app/base/StallWatch.h).

For each, longest first: the wait and what the thread did meanwhile (ran, waited for a core,
slept, page faults), then each sample taken while it waited, its stack cut short: the program's
own frames ("tessarine+0xOFFSET") named by addr2line from PROGRAM, argument lists left out, and a
run of one function calling itself counted rather than repeated; under each sample, the other
threads that ran or waited for a core then. Prints "none" when no answer came late.
"""
import re
import subprocess
import sys

HEAD = re.compile(r"window's thread: late answer (\d+): after ([0-9.]+) ms; (.*)$")
SAMPLE = re.compile(r"window's thread: late answer (\d+) at ([0-9.]+) ms: (.*?); stack: (.*)$")
BUSY = re.compile(r"window's thread: late answer (\d+) at ([0-9.]+) ms, busy: (.*)$")
OWN = re.compile(r"^tessarine\+0x([0-9a-f]+)$")
OWN_AT = re.compile(r"tessarine\+0x([0-9a-f]+)")


def late_answers(lines):
    """{answer: (ms, summary, [(at, state, frames, [busy thread])])} from the log's lines."""
    found = {}
    for line in lines:
        head = HEAD.search(line)
        if head:
            found[head.group(1)] = (float(head.group(2)), head.group(3), [])
            continue
        sample = SAMPLE.search(line)
        if sample and sample.group(1) in found:
            found[sample.group(1)][2].append((sample.group(2), sample.group(3), sample.group(4), []))
            continue
        busy = BUSY.search(line)
        if busy and busy.group(1) in found and found[busy.group(1)][2]:
            found[busy.group(1)][2][-1][3].append(busy.group(3))
    return found


def names(program, offsets):
    """The program's functions at `offsets`, by addr2line; the offset itself where none is known."""
    if not offsets:
        return {}
    try:
        out = subprocess.run(["addr2line", "-f", "-C", "-e", program] + ["0x" + o for o in offsets],
                             capture_output=True, text=True, check=True).stdout.splitlines()
    except (OSError, subprocess.CalledProcessError):
        return {}
    named = {}
    for i, offset in enumerate(offsets):
        function = out[2 * i] if 2 * i < len(out) else "??"
        named[offset] = "tessarine+0x" + offset if function == "??" else function
    return named


def short(frame):
    """A frame without its argument list, template arguments, offset and library: "QWidget::event",
    "std::vector<…>::_M_realloc_insert"."""
    frame = frame.replace("(anonymous namespace)::", "")
    frame = re.sub(r" \([^()]*\)$", "", frame)  # the library
    frame = re.sub(r"\+0x[0-9a-f]+$", "", frame) if not OWN.match(frame) else frame
    for opening, closing, left in (("(", ")", ""), ("<", ">", "<…>")):  # argument lists, then templates
        depth, kept = 0, []
        for char in frame.replace("operator<", "operator\x01"):
            if char == opening:
                depth += 1
                if depth == 1:
                    kept.append(left)
            elif depth == 0:
                kept.append(char)
            elif char == closing:
                depth -= 1
        frame = "".join(kept).replace("\x01", "<")
    return frame.replace(" const", "").strip()


def folded(frames):
    """Runs of the same frames, one or two alternating, counted: "drawWidget < paintSiblingsRecursive ×12"."""
    out, i = [], 0
    while i < len(frames):
        for width in (1, 2):
            unit = frames[i:i + width]
            times = 1
            while frames[i + times * width:i + (times + 1) * width] == unit:
                times += 1
            if times > 1:
                out.append(" < ".join(unit) + " ×%d" % times)
                i += times * width
                break
        else:
            out.append(frames[i])
            i += 1
    return out


def busy_line(thread, named):
    """A busy thread's line with its stack, if it has one, cut short as the watched thread's is."""
    thread = OWN_AT.sub(lambda m: named.get(m.group(1), m.group(0)), thread)
    what, _, stack = thread.partition("; stack: ")
    if not stack:
        return what
    return what + "; stack: " + " < ".join(folded([short(f) for f in stack.split(" < ")]))


def main():
    if len(sys.argv) < 4:
        sys.exit("usage: late-answers.py LOG FROM_LINE PROGRAM [COUNT]")
    log, start, program = sys.argv[1], int(sys.argv[2]), sys.argv[3]
    count = int(sys.argv[4]) if len(sys.argv) > 4 else 1
    with open(log, errors="replace") as text:
        found = late_answers(text.readlines()[start:])
    if not found:
        print("none")
        return
    longest = sorted(found.values(), key=lambda answer: -answer[0])[:count]
    own = sorted({m.group(1) for _, _, samples in longest for _, _, stack, busy in samples
                  for m in OWN_AT.finditer(stack + " " + " ".join(busy))})
    named = names(program, own)
    for ms, summary, samples in longest:
        print("%.1f ms: %s" % (ms, summary))
        for at, state, stack, busy in samples:
            frames = [short(named.get(OWN.match(f).group(1), f) if OWN.match(f) else f) for f in stack.split(" < ")]
            print("  at %s ms: %s; stack: %s" % (at, state, " < ".join(folded(frames))))
            for thread in busy:
                print("    busy: " + busy_line(thread, named))


if __name__ == "__main__":
    main()
