#!/usr/bin/python3
"""a11y-check.py: reads the running Tessarine's accessibility tree over AT-SPI, as a screen reader
does, while the window shows the demo controller's bench, and checks what a listener relies on:

- every labelled control of the device header, the unit bar, the live panel and the manual checks
  is found by its label (its name, its description or the label it is labelled by);
- the stick plots and the trigger bars carry their live values;
- the "Values" and "View" pickers are groups of radio buttons with distinct names, one checked;
- a changing value is announced no more than twice a second.

Prints what it found and exits 1 with every failure listed. Run by scripts/a11y-road.sh.
"""
import re
import sys
import time

import pyatspi
from gi.repository import GLib

sys.path.insert(0, __import__("os").path.dirname(__import__("os").path.abspath(__file__)))
import atspi  # noqa: E402

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)
    return condition


def element(window, label, role=None):
    found = atspi.find(window, label, role=role)
    check(found is not None, f"nothing reads {label!r}" + (f" as a {pyatspi.Role(role)}" if role else ""))
    return found


def radio_group(window, name, choices):
    group = element(window, name)
    if group is None:
        return
    radios = [group.getChildAtIndex(i) for i in range(group.childCount)]
    roles = {r.getRoleName() for r in radios}
    names = [r.name for r in radios]
    print(f"  {name!r}: {group.getRoleName()} of {sorted(roles)} {names}")
    check(roles == {"radio button"}, f"the {name!r} picker's choices are {sorted(roles)}, not radio buttons")
    check(names == choices, f"the {name!r} picker reads {names}, not {choices}")
    check(len(set(names)) == len(names), f"the {name!r} picker has two choices of one name")
    checked = [r.name for r in radios if r.getState().contains(pyatspi.STATE_CHECKED)]
    check(len(checked) == 1, f"the {name!r} picker has {checked} checked, not one choice")


STICK_VALUE = re.compile(r"^(No reading yet|x -?[\d.]+%, y -?[\d.]+%, [\d.]+% from center|raw x -?\d+, y -?\d+)(, pressed)?$")
BAR_VALUE = re.compile(r"^(-?[\d.]+%|raw -?\d+)$")
TILE_VALUE = re.compile(r"^(pressed, )?pressed \d+ times$")


def live_values(window):
    for stick in ("Left stick", "Right stick"):
        # The drawing's stick cap and the stick plot below it: both read where the stick is.
        pictures = [e for e, _ in atspi.walk(window)
                    if e.getRole() == pyatspi.ROLE_IMAGE and e.name == stick and atspi.showing(e)]
        print(f"  {stick!r}: {[p.description for p in pictures]}")
        check(len(pictures) >= 2, f"{len(pictures)} pictures read {stick!r}, not the drawing's and the plot")
        for picture in pictures:
            check(STICK_VALUE.match(picture.description or ""), f"a {stick!r} picture reads {picture.description!r}")
    for trigger in ("Left trigger", "Right trigger"):
        bar = element(window, trigger, pyatspi.ROLE_PROGRESS_BAR)
        if bar is not None:
            number = bar.queryValue().currentValue
            print(f"  {trigger!r}: {bar.description!r}, value {number}")
            check(BAR_VALUE.match(bar.description or ""), f"the {trigger!r} bar reads {bar.description!r}")
    tiles = [e for e, _ in atspi.walk(window) if TILE_VALUE.match(e.description or "")]
    print(f"  button tiles: {[(t.name, t.description) for t in tiles]}")
    check(len(tiles) >= 4, f"only {len(tiles)} button tiles carry their press counts")


def labelled_controls(window):
    for label, role in [
        ("Demo recording", pyatspi.ROLE_COMBO_BOX),
        ("Stage", pyatspi.ROLE_COMBO_BOX),
        ("Unit, serial or ticket number", None),
        ("Controller", None),
        ("Reset Counts", pyatspi.ROLE_PUSH_BUTTON),
        ("Gate", pyatspi.ROLE_COMBO_BOX),
        ("Length", pyatspi.ROLE_COMBO_BOX),
    ]:
        found = element(window, label, role)
        if found is not None:
            print(f"  {label!r}: {found.getRoleName()} {found.name!r}")
    demo = atspi.find(window, "Demo recording", pyatspi.ROLE_COMBO_BOX)
    if demo is not None:
        check("Demo recording" in atspi.labelled_by(demo), "the demo picker is not labelled \"Demo recording\"")
    for prefix in ("Battery ", "Controller family, "):
        found = [e.name for e, _ in atspi.walk(window) if (e.name or "").startswith(prefix)]
        print(f"  {prefix!r}…: {found[:1]}")
        check(found, f"nothing reads {prefix!r}…")
    # Each manual check: a play button and a group of answers per item.
    answers = [e for e, _ in atspi.walk(window) if (e.name or "").endswith(" result") and e.childCount == 3]
    check(answers, "no manual check lists its items")
    for group in answers:
        item = group.name[: -len(" result")]
        check(atspi.find(window, f"Play {item}", pyatspi.ROLE_PUSH_BUTTON) is not None,
              f"no \"Play {item}\" button beside {group.name!r}")
        names = [group.getChildAtIndex(i).name for i in range(3)]
        check(names == ["Not answered", "Works", "Doesn't"], f"{group.name!r} reads {names}")
    print(f"  manual checks: {[g.name for g in answers]}")


def announcements(window, seconds=3.0):
    """Counts the description changes each element sends for a few seconds."""
    counts = {}

    def heard(event):
        source = event.source
        # Counted per element: the drawing's left stick and the stick plot share a name and a
        # role, and each may tell its own values.
        key = f"{source.getRoleName()} {source.name!r} at {source.path}"
        counts[key] = counts.get(key, 0) + 1

    pyatspi.Registry.registerEventListener(heard, "object:property-change:accessible-description")
    GLib.timeout_add(int(seconds * 1000), lambda: pyatspi.Registry.stop() or False)
    pyatspi.Registry.start()
    pyatspi.Registry.deregisterEventListener(heard, "object:property-change:accessible-description")
    print(f"  announcements in {seconds:g} s: {counts}")
    # At most one a half second, plus the first one and one held back across the edges.
    most = int(seconds / 0.5) + 2
    for key, count in counts.items():
        check(count <= most, f"{key} announced {count} values in {seconds:g} s")


def main():
    window = atspi.wait_for_window(60)
    if window is None:
        sys.exit("a11y-check: Tessarine's window did not reach the accessibility bus")
    # The demo's bench is built once the model has started.
    deadline = time.monotonic() + 30
    while atspi.find(window, "Left stick") is None and time.monotonic() < deadline:
        time.sleep(0.5)
    print("a11y-check: pickers")
    radio_group(window, "Values", ["Processed", "Raw HID"])
    radio_group(window, "View", ["Bench", "Raw HID", "History"])
    print("a11y-check: labelled controls")
    labelled_controls(window)
    print("a11y-check: live values")
    live_values(window)
    announcements(window)
    if failures:
        print("a11y-check: failed:\n  " + "\n  ".join(failures))
        sys.exit(1)
    print("a11y-check: passed")


if __name__ == "__main__":
    main()
