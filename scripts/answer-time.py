#!/usr/bin/env python3
"""answer-time.py [--watch SECONDS] TITLE ANSWER PROGRAM [ARGS...]: how soon the window of a program
that is just starting answers, in milliseconds.

Starts PROGRAM, waits for a top-level window named TITLE to be mapped on the X display, then at once
- asks it to answer a ping (the window manager's _NET_WM_PING, which the application answers from
  its event loop, as it does any input), and
- gives it the X focus and presses Ctrl+comma, which counts as answered when a window named ANSWER
  is mapped.
Prints "shown MS" (from the program's start to TITLE being mapped), "cpu MS" (the processor time
the program's threads had used by then, which a loaded machine does not inflate as it does the
wait), then "ping MS" and "key MS", each from the moment TITLE was mapped, and ends the program. Everything is event-driven (no
polling), so the figures hold to a fraction of a millisecond.

With --watch, no key is pressed: the window is pinged again the moment it answers, for SECONDS
from its mapping, and "worst MS" follows "ping MS": the longest any ping waited for its answer,
which is the longest the window left input waiting in that time. Uses libX11 through ctypes; run it on
a display without a window manager, which would hold the window back and answer pings itself. X
errors (a window gone meanwhile) are ignored. Exits with 1 and says
why when nothing answers within 60 s.
"""
import ctypes
import ctypes.util
import os
import subprocess
import sys
import time

X = ctypes.cdll.LoadLibrary(ctypes.util.find_library("X11") or "libX11.so.6")
X.XOpenDisplay.restype = ctypes.c_void_p
X.XOpenDisplay.argtypes = [ctypes.c_char_p]
X.XDefaultRootWindow.restype = ctypes.c_ulong
X.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
X.XInternAtom.restype = ctypes.c_ulong
X.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
X.XSelectInput.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_long]
X.XFree.argtypes = [ctypes.c_void_p]
X.XPending.argtypes = [ctypes.c_void_p]
X.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.c_void_p]
XTST = ctypes.cdll.LoadLibrary(ctypes.util.find_library("Xtst") or "libXtst.so.6")
XTST.XTestFakeKeyEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]
X.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long, ctypes.c_void_p]
X.XSetInputFocus.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_ulong]
X.XKeysymToKeycode.restype = ctypes.c_ubyte
X.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
X.XFlush.argtypes = [ctypes.c_void_p]
X.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
X.XConnectionNumber.argtypes = [ctypes.c_void_p]

MAP_NOTIFY, CLIENT_MESSAGE = 19, 33
STRUCTURE_NOTIFY, SUBSTRUCTURE_NOTIFY = 1 << 17, 1 << 19
REVERT_TO_PARENT = 2
XK_COMMA, XK_CONTROL_L = 0x2C, 0xFFE3


class Event(ctypes.Union):
    """XEvent: 24 longs; the fields read and written below sit at these offsets on 64-bit Linux."""
    _fields_ = [("pad", ctypes.c_long * 24)]


def field(event, offset, kind):
    return kind.from_buffer(event, offset).value


def set_field(event, offset, kind, value):
    kind.from_buffer(event, offset).value = value


X.XGetWindowProperty.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong, ctypes.c_long, ctypes.c_long,
                                 ctypes.c_int, ctypes.c_ulong, ctypes.POINTER(ctypes.c_ulong),
                                 ctypes.POINTER(ctypes.c_int), ctypes.POINTER(ctypes.c_ulong),
                                 ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.c_void_p)]


def name_of(display, window, names):
    """The window's title: _NET_WM_NAME, else WM_NAME, whatever their text type."""
    for atom in names:
        kind, size, count, left = ctypes.c_ulong(), ctypes.c_int(), ctypes.c_ulong(), ctypes.c_ulong()
        data = ctypes.c_void_p()
        if X.XGetWindowProperty(display, window, atom, 0, 1024, 0, 0, ctypes.byref(kind), ctypes.byref(size),
                                ctypes.byref(count), ctypes.byref(left), ctypes.byref(data)) != 0:
            continue
        if not data.value:
            continue
        text = ctypes.string_at(data.value, count.value).decode("utf-8", "replace") if size.value == 8 else None
        X.XFree(data)
        if text:
            return text
    return None


ERROR_HANDLER = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)
ignore_errors = ERROR_HANDLER(lambda display, error: 0)


def main():
    arguments = sys.argv[1:]
    watch = None
    if arguments[:1] == ["--watch"] and len(arguments) > 1:
        watch = float(arguments[1])
        arguments = arguments[2:]
    if len(arguments) < 3:
        sys.exit("usage: answer-time.py [--watch SECONDS] TITLE ANSWER PROGRAM [ARGS...]")
    title, answer = arguments[0], arguments[1]
    X.XSetErrorHandler(ignore_errors)
    display = X.XOpenDisplay(None)
    if not display:
        sys.exit("answer-time: couldn't open the X display")
    root = X.XDefaultRootWindow(display)
    # Windows being mapped, and the answers to pings, which go to the root window for clients
    # that watch its structure.
    X.XSelectInput(display, root, STRUCTURE_NOTIFY | SUBSTRUCTURE_NOTIFY)
    X.XSync(display, 0)
    started = time.monotonic()
    program = subprocess.Popen(arguments[2:], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        measure(display, root, title, answer, started, program, watch)
    finally:
        program.terminate()
        program.wait()


def cpu_ms(pid):
    """Processor time of the process's live threads, in milliseconds (nanoseconds in schedstat)."""
    total = 0
    try:
        tasks = os.listdir("/proc/%d/task" % pid)
    except OSError:
        return 0.0
    for task in tasks:
        try:
            with open("/proc/%d/task/%s/schedstat" % (pid, task)) as stat:
                total += int(stat.read().split()[0])
        except (OSError, ValueError, IndexError):
            pass
    return total / 1e6


def send_ping(display, window, protocols, ping, serial):
    """_NET_WM_PING: a client message on WM_PROTOCOLS with the ping atom, a time (here a serial
    number, which the answer carries back) and the window; the answer comes back to the root window."""
    message = Event()
    set_field(message, 0, ctypes.c_int, CLIENT_MESSAGE)
    set_field(message, 32, ctypes.c_ulong, window)
    set_field(message, 40, ctypes.c_ulong, protocols)
    set_field(message, 48, ctypes.c_int, 32)
    set_field(message, 56, ctypes.c_long, ping)
    set_field(message, 64, ctypes.c_long, serial)
    set_field(message, 72, ctypes.c_long, window)
    X.XSendEvent(display, window, 0, 0, ctypes.byref(message))
    X.XFlush(display)


def measure(display, root, title, answer, started, program, watch):
    protocols = X.XInternAtom(display, b"WM_PROTOCOLS", 0)
    ping = X.XInternAtom(display, b"_NET_WM_PING", 0)
    names = (X.XInternAtom(display, b"_NET_WM_NAME", 0), X.XInternAtom(display, b"WM_NAME", 0))

    event = Event()
    shown = pinged = keyed = None
    cpu = 0.0
    window = 0
    # While watching: the serial and send time of the ping awaiting its answer, and the longest wait.
    serial, sent, worst = 0, None, 0.0
    deadline = time.monotonic() + 60

    def done():
        if watch is not None:
            return pinged is not None and time.monotonic() - shown >= watch
        return pinged is not None and keyed is not None

    while not done():
        if program.poll() is not None:
            sys.exit("answer-time: the program ended (status %d) before it answered" % program.returncode)
        if time.monotonic() > deadline and (watch is None or pinged is None):
            if shown is None:
                sys.exit("answer-time: no window named %r was shown within 60 s" % title)
            sys.exit("answer-time: %r answered %s within 60 s" % (
                title, "no ping and no key" if pinged is None and keyed is None
                else "no ping" if pinged is None else "no key (no window named %r shown)" % answer))
        if not X.XPending(display):
            time.sleep(0.0002)
            continue
        X.XNextEvent(display, ctypes.byref(event))
        kind = field(event, 0, ctypes.c_int)
        now = time.monotonic()
        if kind == MAP_NOTIFY:
            mapped = field(event, 40, ctypes.c_ulong)
            name = name_of(display, mapped, names)
            if shown is None and name == title:
                shown, window = now, mapped
                cpu = cpu_ms(program.pid)
                send_ping(display, window, protocols, ping, serial)
                sent = now
                if watch is not None:
                    continue
                # Ctrl+comma to the focused window, as the keyboard sends it (through XTEST:
                # toolkits may ignore key events that another client made up).
                X.XSetInputFocus(display, window, REVERT_TO_PARENT, 0)
                for keysym, down in ((XK_CONTROL_L, 1), (XK_COMMA, 1), (XK_COMMA, 0), (XK_CONTROL_L, 0)):
                    XTST.XTestFakeKeyEvent(display, X.XKeysymToKeycode(display, keysym), down, 0)
                X.XFlush(display)
            elif shown is not None and keyed is None and name is not None and name.split(" \u2014 ")[0] == answer:
                keyed = now
        elif kind == CLIENT_MESSAGE and shown is not None:
            if field(event, 40, ctypes.c_ulong) != protocols or field(event, 56, ctypes.c_long) != ping:
                continue
            if field(event, 64, ctypes.c_long) != serial:
                continue
            if pinged is None:
                pinged = now
            worst = max(worst, now - sent)
            if watch is not None:
                serial += 1
                sent = time.monotonic()
                send_ping(display, window, protocols, ping, serial)
    print("shown %.1f" % ((shown - started) * 1000))
    print("cpu %.1f" % cpu)
    print("ping %.1f" % ((pinged - shown) * 1000))
    if watch is not None:
        # A ping still waiting when the watch ended has waited that long at least.
        worst = max(worst, time.monotonic() - sent)
        print("worst %.1f" % (worst * 1000))
    else:
        print("key %.1f" % ((keyed - shown) * 1000))


if __name__ == "__main__":
    main()
