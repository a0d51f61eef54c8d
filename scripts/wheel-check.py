#!/usr/bin/python3
"""wheel-check.py: rolls a real mouse wheel (X buttons 4 and 5, through xdotool) over every combo
box, spin box and slider of the running Tessarine's bench and unit bar, and of each tab of the
Settings window, as a technician scrolling the page does, and checks over AT-SPI that:

- no control changed its value (each is read before and after);
- the page under the pointer scrolled instead, wherever the control sits in a scrolling page;
- a combo box given the keyboard still takes the wheel (one notch down, one back up);
- the Settings window reads as a window (a frame or a dialog), not as an anonymous filler.

A control outside the visible part of its page is first scrolled into view with the wheel over
the page's scroll bar. Prints what it rolled over and exits 1 with every failure listed. Run by
scripts/a11y-road.sh on the demo controller's bench; it leaves the Settings window open.
"""
import os
import subprocess
import sys
import time

import pyatspi

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import atspi  # noqa: E402

GUARDED = (pyatspi.ROLE_COMBO_BOX, pyatspi.ROLE_SPIN_BUTTON, pyatspi.ROLE_SLIDER)
DOWN, UP = 5, 4  # X pointer buttons of the wheel
failures = []


def check(condition, message):
    if not condition:
        failures.append(message)
    return condition


def value(element):
    # A combo box reads as its current choice; spin boxes and sliders carry a number.
    if element.getRole() == pyatspi.ROLE_COMBO_BOX:
        return element.name
    return element.queryValue().currentValue


def title(element):
    by = atspi.labelled_by(element)
    if by:
        return by[0]
    names = [n for n in atspi.labels(element) if n != element.name]
    return names[-1] if names else element.name


def box(element):
    return element.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)


def same(a, b):
    return a.getRole() == b.getRole() and a.name == b.name and tuple(box(a)) == tuple(box(b))


def under_pointer(root, element):
    """Whether the element is what lies at its own centre on the screen (not clipped away by its
    page or covered): the deepest element there is it or a part of it."""
    x, y = atspi.centre(element)
    at = root
    for _ in range(60):
        try:
            inner = at.queryComponent().getAccessibleAtPoint(x, y, pyatspi.DESKTOP_COORDS)
        except Exception:
            break
        if inner is None or same(inner, at):
            break
        at = inner
    while at is not None:
        if same(at, element):
            return True
        if same(at, root):
            return False
        at = at.parent
    return False


def roll(x, y, button, notches):
    # No --sync: a move to where the pointer already is would wait for a motion that never comes.
    # The clicks follow the move in the server's order anyway.
    subprocess.run(["xdotool", "mousemove", str(x), str(y),
                    "click", "--repeat", str(notches), "--delay", "40", str(button)], check=True)
    time.sleep(0.25)


def page_bar(element, bars):
    """The vertical scroll bar of the page that holds the element: the nearest one to its right
    beside it."""
    x, y = atspi.centre(element)
    beside = [b for b in bars if box(b).x >= x and box(b).height > box(b).width]
    beside.sort(key=lambda b: box(b).x)
    return beside[0] if beside else None


def bring_into_view(root, element, bar):
    for _ in range(60):
        if under_pointer(root, element):
            return True
        if bar is None:
            return False
        bar_box = box(bar)
        _, y = atspi.centre(element)
        direction = DOWN if y > bar_box.y + bar_box.height // 2 else UP
        roll(bar_box.x + bar_box.width // 2, bar_box.y + bar_box.height // 2, direction, 5)
    return under_pointer(root, element)


def sweep(root, where):
    """Rolls the wheel over each control of the window in turn."""
    elements = [e for e, _ in atspi.walk(root) if e.getRole() in GUARDED and atspi.showing(e)]
    bars = [e for e, _ in atspi.walk(root) if e.getRole() == pyatspi.ROLE_SCROLL_BAR and atspi.showing(e)]
    before = [value(e) for e in elements]
    for element in elements:
        bar = page_bar(element, bars)
        if not check(bring_into_view(root, element, bar), f"{where}: {title(element)!r} could not be brought into view"):
            continue
        x, y = atspi.centre(element)
        # Down, unless the page has scrolled to its end: then up.
        offset = bar.queryValue() if bar is not None else None
        at_end = offset is not None and offset.currentValue >= offset.maximumValue
        before_roll = offset.currentValue if offset is not None else None
        roll(x, y, UP if at_end else DOWN, 2)
        scrolled = bar is not None and bar.queryValue().currentValue != before_roll
        print(f"  {where}: rolled over {title(element)!r}" + (", the page scrolled" if scrolled else ""))
        if bar is not None and box(bar).y <= y <= box(bar).y + box(bar).height:
            check(scrolled, f"{where}: the wheel over {title(element)!r} did not scroll its page")
    after = [value(e) for e in elements]
    for element, old, new in zip(elements, before, after):
        check(old == new, f"{where}: the wheel changed {title(element)!r} from {old!r} to {new!r}")
    return elements


def focused_combo_keeps_the_wheel(root, label):
    combo = None
    bars = []
    for element, _ in atspi.walk(root):
        if not atspi.showing(element):
            continue
        if element.getRole() == pyatspi.ROLE_SCROLL_BAR:
            bars.append(element)
        if combo is None and element.getRole() == pyatspi.ROLE_COMBO_BOX and label in atspi.labels(element):
            combo = element
    if not check(combo is not None, f"no combo box reads {label!r}"):
        return
    if not check(bring_into_view(root, combo, page_bar(combo, bars)), f"{label!r} could not be brought into view"):
        return
    first = value(combo)
    # As a user gives it the keyboard: a click opens its list, Escape closes it again.
    x, y = atspi.centre(combo)
    subprocess.run(["xdotool", "mousemove", "--sync", str(x), str(y), "click", "1"], check=True)
    time.sleep(0.4)
    subprocess.run(["xdotool", "key", "Escape"], check=True)
    time.sleep(0.3)
    check(combo.getState().contains(pyatspi.STATE_FOCUSED), f"{label!r} did not take the keyboard")
    roll(x, y, DOWN, 1)
    turned = value(combo)
    roll(x, y, UP, 1)
    print(f"  with the keyboard, {label!r} went from {first!r} to {turned!r} and back to {value(combo)!r}")
    check(turned != first, f"{label!r} with the keyboard did not take the wheel")
    check(value(combo) == first, f"{label!r} with the keyboard did not turn back")


def settings_window(app):
    for index in range(app.childCount):
        window = app.getChildAtIndex(index)
        if window is not None and window.name == "Settings" and atspi.showing(window):
            return window
    return None


def main():
    window = atspi.wait_for_window(10)
    if window is None:
        sys.exit("wheel-check: Tessarine's window is not on the accessibility bus")
    print("wheel-check: the bench")
    elements = sweep(window, "bench")
    # The unit bar's stage, a test card's gate and the soak card's length at least.
    for label in ("Stage", "Gate", "Length"):
        check(any(label in atspi.labels(e) for e in elements), f"bench: no {label!r} picker was rolled over")
    focused_combo_keeps_the_wheel(window, "Gate")

    # The Settings window, tab by tab. Keys go to the window under the pointer.
    x, y = atspi.centre(window)
    subprocess.run(["xdotool", "mousemove", "--sync", str(x), str(y), "key", "ctrl+comma"], check=True)
    settings = None
    for _ in range(50):
        settings = settings_window(atspi.application())
        if settings is not None:
            break
        time.sleep(0.2)
    if not check(settings is not None, "the Settings window did not open"):
        return
    # A screen reader announces it as a window by its title, not as an anonymous filler.
    check(settings.getRole() in (pyatspi.ROLE_FRAME, pyatspi.ROLE_DIALOG),
          f"the Settings window reads as a {settings.getRoleName()!r}, not as a window")
    rolled = 0
    for tab in ("Thresholds", "Display", "Reports", "Privacy"):
        page = atspi.find(settings, tab, role=pyatspi.ROLE_PAGE_TAB)
        if not check(page is not None, f"Settings has no {tab!r} tab"):
            continue
        tx, ty = atspi.centre(page)
        subprocess.run(["xdotool", "mousemove", "--sync", str(tx), str(ty), "click", "1"], check=True)
        time.sleep(0.3)
        print(f"wheel-check: Settings, {tab}")
        rolled += len(sweep(settings, f"Settings {tab}"))
    check(rolled >= 3, f"only {rolled} controls of the Settings window were rolled over")


if __name__ == "__main__":
    main()
    if failures:
        print("wheel-check: FAILED")
        for failure in failures:
            print("  " + failure)
        sys.exit(1)
    print("wheel-check: passed")
