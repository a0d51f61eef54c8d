#!/usr/bin/python3
"""compare-check.py STATE ...: reads the running Tessarine's Compare With picker over AT-SPI, as a
screen reader does, and checks what a listener relies on:

    compare-check.py opened DEVICE     the picker is a dialog named "Compare With" whose search
                                       field "Search sessions" has the keyboard; its list
                                       "Sessions to compare with" reads "Same unit", then the shown
                                       unit's other sessions (of the device DEVICE), the first one
                                       picked, then "Other units"; a line says how many are listed,
                                       and "Compare" and "Cancel" are buttons
    compare-check.py found TEXT COUNT  the list reads "Other units" and COUNT sessions, each of
                                       which reads TEXT (letter case aside), the first one picked,
                                       and the line says "COUNT sessions"
    compare-check.py closed            no Compare With picker is showing

Only the first rows of the list are read: it may hold thousands. Prints what it read and exits 1
with every failure listed. Run by scripts/compare-road.sh.
"""
import sys
import time

import pyatspi

sys.path.insert(0, __import__("os").path.dirname(__import__("os").path.abspath(__file__)))
import atspi  # noqa: E402

failures = []
ROWS_READ = 12  # rows of the list read at the most


def check(condition, message):
    if not condition:
        failures.append(message)
    return condition


def picker():
    app = atspi.application()
    if app is None:
        return None
    for index in range(app.childCount):
        window = app.getChildAtIndex(index)
        if window is not None and window.name == "Compare With" and atspi.showing(window):
            return window
    return None


def walk_outside_lists(element):
    """Every element below `element` in reading order, but not the rows of a list."""
    for index in range(element.childCount):
        child = element.getChildAtIndex(index)
        if child is None:
            continue
        yield child
        if child.getRole() != pyatspi.ROLE_LIST:
            yield from walk_outside_lists(child)


def named(window, name, role):
    for element in walk_outside_lists(window):
        if element.name == name and element.getRole() == role:
            return element
    failures.append(f"no {pyatspi.Role(role)} reads {name!r}")
    return None


def rows(listing):
    read = []
    for index in range(min(listing.childCount, ROWS_READ)):
        item = listing.getChildAtIndex(index)
        state = item.getState()
        read.append((item.name, state.contains(pyatspi.STATE_SELECTED)))
    return read


def count_line(window):
    for element in walk_outside_lists(window):
        if element.getRole() == pyatspi.ROLE_LABEL and (element.name or "").endswith(("session", "sessions", "match")):
            return element.name
    return None


def main(argv):
    if len(argv) < 2:
        sys.exit(__doc__)
    state = argv[1]
    window = None
    deadline = time.monotonic() + 10
    while time.monotonic() < deadline:
        window = picker()
        if (window is None) == (state == "closed"):
            break
        time.sleep(0.2)
    if state == "closed":
        check(window is None, "the Compare With picker is still showing")
        return
    if not check(window is not None, "no Compare With picker is showing"):
        return
    print(f"  {window.getRoleName()}: {window.name!r}")
    check(window.getRole() == pyatspi.ROLE_DIALOG, f"the picker is a {window.getRoleName()}, not a dialog")
    field = named(window, "Search sessions", pyatspi.ROLE_TEXT)
    listing = named(window, "Sessions to compare with", pyatspi.ROLE_LIST)
    named(window, "Compare", pyatspi.ROLE_PUSH_BUTTON)
    named(window, "Cancel", pyatspi.ROLE_PUSH_BUTTON)
    if field is not None:
        check(field.getState().contains(pyatspi.STATE_FOCUSED), "the search field does not have the keyboard")
    line = count_line(window)
    print(f"  count: {line!r}")
    if listing is None:
        return
    read = rows(listing)
    for name, selected in read:
        print(f"    {'*' if selected else ' '} {name!r}")
    names = [name for name, _ in read]
    if state == "opened":
        device = argv[2]
        check(names[:1] == ["Same unit"], f"the list opens with {names[:1]}, not the same unit's sessions")
        other = names.index("Other units") if "Other units" in names else len(names)
        same = names[1:other]
        check(len(same) > 0 and all(device in n for n in same), f"the same unit's rows {same} are not all of {device}")
        check(other < len(names), "no other units are listed after the same unit's sessions")
        check(len(read) > 1 and read[1][1], "the newest session of the same unit is not picked")
        check(line is not None and line.endswith("sessions"), f"the count reads {line!r}")
    elif state == "found":
        text, count = argv[2], int(argv[3])
        check(listing.childCount == count + 1, f"the list holds {listing.childCount} rows, not a header and {count}")
        check(names[:1] == ["Other units"], f"the found sessions are under {names[:1]}")
        found = names[1:]
        check(all(text.lower() in n.lower() for n in found), f"not every row found reads {text!r}: {found}")
        check(len(read) > 1 and read[1][1], "the first session found is not picked")
        check(line == f"{count} sessions", f"the count reads {line!r}, not {count} sessions")
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main(sys.argv)
    if failures:
        print("compare-check: " + "; ".join(failures))
        sys.exit(1)
