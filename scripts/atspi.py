#!/usr/bin/python3
"""atspi.py: finds Tessarine's widgets by what a screen reader hears, over AT-SPI (pyatspi).

As a program, for the road scripts (run inside the session of the accessibility bus):

    atspi.py wait SECONDS                  until Tessarine's window is on the bus
    atspi.py centre [--showing] PATH       prints "X Y", the screen centre of the element
    atspi.py focus PATH                    gives the element keyboard focus
    atspi.py press PATH                    runs the element's press or click action
    atspi.py finished CARD                 exits 0 when the test card CARD offers Run Again and
                                           it can be used: the card has a result and no test runs
    atspi.py enabled PATH                  exits 0 when the element can be used, shown or not (a
                                           menu's item while the menu is closed)
    atspi.py await SECONDS PATH            prints "X Y" of the element as soon as it shows, looking
                                           again without a pause, for up to SECONDS
    atspi.py dump                          prints the tree: role, name, description, labels

PATH is one or more labels joined by "/": each step finds the first element after the previous
step's, in reading order (depth first), whose name, description or labelled-by target reads the
label, as a screen reader user moves on to the next such element: "Values/Raw HID" is the
"Raw HID" choice of the "Values" picker, not the tab of that name, and
"Left stick · Drift at rest/Run" the Run button of that card.
Exits 1 with a message when the element is not there.
"""
import sys
import time

import pyatspi

APP = "tessarine"


def application():
    desktop = pyatspi.Registry.getDesktop(0)
    for index in range(desktop.childCount):
        app = desktop.getChildAtIndex(index)
        if app is not None and (app.name or "").lower() == APP:
            return app
    return None


def main_window(app):
    for index in range(app.childCount):
        window = app.getChildAtIndex(index)
        if window is not None and window.name == "Tessarine":
            return window
    return None


def labels(element):
    """The texts a screen reader reads as what the element is: its name, its description and
    the names of the elements that label it."""
    found = []
    for text in (element.name, element.description):
        if text:
            found.append(text)
    try:
        for relation in element.getRelationSet():
            if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY:
                for i in range(relation.getNTargets()):
                    target = relation.getTarget(i)
                    if target is not None and target.name:
                        found.append(target.name)
    except Exception:  # an element that went away while it was read
        pass
    return found


def labelled_by(element):
    names = []
    try:
        for relation in element.getRelationSet():
            if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY:
                names += [relation.getTarget(i).name for i in range(relation.getNTargets())]
    except Exception:
        pass
    return names


def showing(element):
    try:
        return element.getState().contains(pyatspi.STATE_SHOWING)
    except Exception:
        return False


def walk(element, depth=0):
    """Every element below `element`, depth first, in order, with its depth."""
    for index in range(element.childCount):
        try:
            child = element.getChildAtIndex(index)
        except Exception:
            continue
        if child is None:
            continue
        yield child, depth + 1
        yield from walk(child, depth + 1)


def find(root, label, role=None, visible=True):
    for element, _ in walk(root):
        if visible and not showing(element):
            continue
        if role is not None and element.getRole() != role:
            continue
        if label in labels(element):
            return element
    return None


def find_path(root, path, visible=True):
    """The element that reads the last step of `path` and follows, in reading order (depth
    first), an element that reads each step before it."""
    steps = path.split("/")
    for element, _ in walk(root):
        if visible and not showing(element):
            continue
        if steps[0] in labels(element):
            steps.pop(0)
            if not steps:
                return element
    return None


def card_run_button(root, title):
    """The Run (or Run Again) button of the test card titled `title`: the first such button
    after the title in reading order. Every card shows one, so a later card's is never taken."""
    after_title = False
    for element, _ in walk(root):
        if not showing(element):
            continue
        names = labels(element)
        if not after_title:
            after_title = title in names
        elif "Run" in names or "Run Again" in names:
            return element
    return None


def centre(element):
    box = element.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    return box.x + box.width // 2, box.y + box.height // 2


def do_action(element, names):
    action = element.queryAction()
    for i in range(action.nActions):
        if action.getName(i) in names:
            return action.doAction(i)
    raise RuntimeError(f"{element.name!r} offers no {' or '.join(names)} action")


def wait_for_window(seconds):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        app = application()
        if app is not None and main_window(app) is not None:
            return main_window(app)
        time.sleep(0.3)
    return None


def dump(root):
    for element, depth in walk(root):
        extra = ""
        if element.description:
            extra += f" description={element.description!r}"
        by = labelled_by(element)
        if by:
            extra += f" labelled-by={by!r}"
        if not showing(element):
            extra += " (hidden)"
        print(f"{'  ' * depth}{element.getRoleName()}: {element.name!r}{extra}")


def main(argv):
    if len(argv) < 2:
        sys.exit(__doc__)
    command = argv[1]
    if command == "wait":
        sys.exit(0 if wait_for_window(float(argv[2])) is not None else 1)
    window = wait_for_window(10)
    if window is None:
        sys.exit("atspi: Tessarine's window is not on the accessibility bus")
    if command == "dump":
        dump(window)
        return
    args = argv[2:]
    if command == "finished":
        button = card_run_button(window, args[0]) if args else None
        done = button is not None and button.name == "Run Again" \
            and button.getState().contains(pyatspi.STATE_ENABLED)
        sys.exit(0 if done else 1)
    path = args[-1] if args else ""
    if command == "await":
        deadline = time.monotonic() + float(args[0])
        element = find_path(window, path)
        while element is None and time.monotonic() < deadline:
            element = find_path(window, path)
        if element is None:
            sys.exit(f"atspi: no element reads {path!r} within {args[0]} s")
        print(*centre(element))
        return
    element = find_path(window, path, visible=command != "enabled")
    if element is None:
        sys.exit(f"atspi: no element reads {path!r}")
    if command == "enabled":
        sys.exit(0 if element.getState().contains(pyatspi.STATE_ENABLED) else 1)
    if command == "centre":
        print(*centre(element))
    elif command == "focus":
        if not element.queryComponent().grabFocus():
            sys.exit(f"atspi: {path!r} did not take the focus")
    elif command == "press":
        do_action(element, ("Press", "press", "Toggle", "toggle", "click"))
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main(sys.argv)
