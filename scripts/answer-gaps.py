#!/usr/bin/env python3
"""answer-gaps.py TITLE LIMIT_MS STEP...: how long the window TITLE of a running program leaves input
unanswered while the steps are played to it, in milliseconds.

Waits up to 60 s for a top-level window named TITLE to be mapped, then plays the steps in order
while pinging the window without a pause (the window manager's _NET_WM_PING, which the
application answers from its event loop as it answers any input: a ping waits exactly as long as
a key press would). Steps:
  key:KEYS        presses and releases KEYS through XTEST, e.g. key:ctrl+3, key:ctrl+End
  click:X,Y       moves the pointer to X,Y of the screen and clicks the left button
  wait:SECONDS    keeps pinging for that long
  file:PATH       keeps pinging until PATH exists (at most 300 s)
Prints "pings N", "longest MS", "over100 N" (pings that waited longer than 100 ms) and "slowest"
with the five longest waits, each as MS@SECONDS from the first step to the ping. Exits with 1
when a ping waits longer than LIMIT_MS or the window goes; the pings go on until the answer comes,
so the longest wait is measured even then. Uses libX11 and libXtst through ctypes; run it on a
display without a window manager.
"""
import ctypes
import importlib.util
import os
import sys
import time

here = os.path.dirname(os.path.abspath(__file__))
spec = importlib.util.spec_from_file_location("answer_time", os.path.join(here, "answer-time.py"))
at = importlib.util.module_from_spec(spec)
spec.loader.exec_module(at)
X, XTST, Event, field, set_field = at.X, at.XTST, at.Event, at.field, at.set_field

X.XStringToKeysym.restype = ctypes.c_ulong
X.XStringToKeysym.argtypes = [ctypes.c_char_p]
XTST.XTestFakeMotionEvent.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int, ctypes.c_int, ctypes.c_ulong]
XTST.XTestFakeButtonEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]

MODIFIERS = {"ctrl": "Control_L", "shift": "Shift_L", "alt": "Alt_L"}


class Pinger:
    def __init__(self, display, root, window, limit):
        self.display, self.root, self.window, self.limit = display, root, window, limit
        self.protocols = X.XInternAtom(display, b"WM_PROTOCOLS", 0)
        self.ping = X.XInternAtom(display, b"_NET_WM_PING", 0)
        self.count, self.longest, self.over = 0, 0.0, 0
        self.start = time.monotonic()
        self.slowest = []  # the five longest waits, each (ms, seconds from the start when it began)
        self.serial = 0
        self.sent = None

    def send(self):
        self.serial += 1
        message = Event()
        set_field(message, 0, ctypes.c_int, at.CLIENT_MESSAGE)
        set_field(message, 32, ctypes.c_ulong, self.window)
        set_field(message, 40, ctypes.c_ulong, self.protocols)
        set_field(message, 48, ctypes.c_int, 32)
        set_field(message, 56, ctypes.c_long, self.ping)
        set_field(message, 64, ctypes.c_long, self.serial)
        set_field(message, 72, ctypes.c_long, self.window)
        X.XSendEvent(self.display, self.window, 0, 0, ctypes.byref(message))
        X.XFlush(self.display)
        self.sent = time.monotonic()

    def run(self, seconds):
        """Pings for `seconds`, one ping in flight at a time; returns False when the window went."""
        end = time.monotonic() + seconds
        event = Event()
        while True:
            if self.sent is None:
                if time.monotonic() >= end:
                    return True
                self.send()
            if not X.XPending(self.display):
                time.sleep(0.0005)
                continue
            X.XNextEvent(self.display, ctypes.byref(event))
            kind = field(event, 0, ctypes.c_int)
            if kind == 17 and field(event, 40, ctypes.c_ulong) == self.window:  # DestroyNotify
                return False
            if kind == at.CLIENT_MESSAGE and field(event, 40, ctypes.c_ulong) == self.protocols and \
                    field(event, 56, ctypes.c_long) == self.ping and field(event, 64, ctypes.c_long) == self.serial:
                waited = (time.monotonic() - self.sent) * 1000
                self.count += 1
                self.longest = max(self.longest, waited)
                self.slowest = sorted(self.slowest + [(waited, self.sent - self.start)], reverse=True)[:5]
                self.over += waited > 100
                self.sent = None


def press(display, keys):
    codes = []
    for name in keys.split("+"):
        keysym = X.XStringToKeysym(MODIFIERS.get(name.lower(), name).encode())
        if not keysym:
            sys.exit("answer-gaps: unknown key %r" % name)
        codes.append(X.XKeysymToKeycode(display, keysym))
    for code in codes:
        XTST.XTestFakeKeyEvent(display, code, 1, 0)
    for code in reversed(codes):
        XTST.XTestFakeKeyEvent(display, code, 0, 0)
    X.XFlush(display)


def click(display, where):
    x, y = (int(v) for v in where.split(","))
    XTST.XTestFakeMotionEvent(display, -1, x, y, 0)
    XTST.XTestFakeButtonEvent(display, 1, 1, 0)
    XTST.XTestFakeButtonEvent(display, 1, 0, 0)
    X.XFlush(display)


def main():
    if len(sys.argv) < 3:
        sys.exit("usage: answer-gaps.py TITLE LIMIT_MS STEP...")
    title, limit = sys.argv[1], float(sys.argv[2])
    X.XSetErrorHandler(at.ignore_errors)
    display = X.XOpenDisplay(None)
    if not display:
        sys.exit("answer-gaps: couldn't open the X display")
    root = X.XDefaultRootWindow(display)
    X.XSelectInput(display, root, at.STRUCTURE_NOTIFY | at.SUBSTRUCTURE_NOTIFY)
    X.XSync(display, 0)
    names = (X.XInternAtom(display, b"_NET_WM_NAME", 0), X.XInternAtom(display, b"WM_NAME", 0))
    window = find(display, root, title, names)
    if not window:
        sys.exit("answer-gaps: no window named %r was shown within 60 s" % title)
    pinger = Pinger(display, root, window, limit)
    alive = True
    for step in sys.argv[3:]:
        kind, _, value = step.partition(":")
        if kind == "key":
            press(display, value)
        elif kind == "click":
            click(display, value)
        elif kind == "file":
            deadline = time.monotonic() + 300
            while alive and not os.path.exists(value):
                if time.monotonic() > deadline:
                    sys.exit("answer-gaps: no file %r after 300 s" % value)
                alive = pinger.run(0.05)
            if not alive:
                break
            continue
        elif kind != "wait":
            sys.exit("answer-gaps: unknown step %r" % step)
        alive = pinger.run(float(value) if kind == "wait" else 0.2)
        if not alive:
            break
    print("pings %d" % pinger.count)
    print("longest %.1f" % pinger.longest)
    print("over100 %d" % pinger.over)
    print("slowest " + " ".join("%.1f@%.2fs" % wait for wait in pinger.slowest))
    if not alive:
        sys.exit("answer-gaps: the window %r went away" % title)
    if pinger.longest > limit:
        sys.exit("answer-gaps: %r left input unanswered for %.0f ms (limit %.0f ms)" % (title, pinger.longest, limit))


def find(display, root, title, names):
    """The window named `title`, waiting for it to be mapped."""
    # One that is already there: ask the tree.
    X.XQueryTree.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(ctypes.c_ulong),
                             ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.POINTER(ctypes.c_ulong)),
                             ctypes.POINTER(ctypes.c_uint)]
    root_return, parent = ctypes.c_ulong(), ctypes.c_ulong()
    children, count = ctypes.POINTER(ctypes.c_ulong)(), ctypes.c_uint()
    if X.XQueryTree(display, root, ctypes.byref(root_return), ctypes.byref(parent), ctypes.byref(children),
                    ctypes.byref(count)):
        found = [children[i] for i in range(count.value) if at.name_of(display, children[i], names) == title]
        if children:
            X.XFree(children)
        if found:
            return found[0]
    event = Event()
    deadline = time.monotonic() + 60
    while time.monotonic() < deadline:
        if not X.XPending(display):
            time.sleep(0.001)
            continue
        X.XNextEvent(display, ctypes.byref(event))
        if field(event, 0, ctypes.c_int) == at.MAP_NOTIFY:
            mapped = field(event, 40, ctypes.c_ulong)
            if at.name_of(display, mapped, names) == title:
                return mapped
    return 0


if __name__ == "__main__":
    main()
