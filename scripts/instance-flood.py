#!/usr/bin/env python3
"""instance-flood.py [--reconnect] COUNT HOLD_SECONDS READY_FILE: a hostile peer of the same user
for scripts/instance-road.sh, connecting to the running instance's launch listener (named as the
application names it, from the user, XDG_RUNTIME_DIR and XDG_CONFIG_HOME) and never writing to it.

Without --reconnect it opens COUNT connections and holds them all open for HOLD_SECONDS.
With --reconnect it keeps COUNT connections and opens a new one the moment the instance closes
or turns one away, as a client that retries without a pause would, for HOLD_SECONDS (or until
SIGTERM); it then prints how many connections it made in all and per second.

Writes how many connections it opened to READY_FILE once it has opened them the first time, then
prints it. Needs a descriptor limit above COUNT."""
import hashlib
import os
import selectors
import signal
import socket
import sys
import time


def instance_name():
    identity = "%d\n%s\n%s" % (os.getuid(), os.environ["XDG_RUNTIME_DIR"], os.environ["XDG_CONFIG_HOME"])
    return "\0com.quenlow.Tessarine-" + hashlib.sha256(identity.encode()).hexdigest()[:24]


def connect(name, patience):
    """A connected socket, or None when the listener refused it for `patience` seconds."""
    s = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    s.setblocking(False)
    # A full queue refuses a connection for now.
    deadline = time.monotonic() + patience
    while True:
        try:
            s.connect(name)
            return s
        except BlockingIOError:
            if time.monotonic() > deadline:
                break
            if patience > 0:
                time.sleep(0.001)
        except OSError:
            break
    s.close()
    return None


def report_ready(ready, held, failed):
    with open(ready, "w") as f:
        f.write("%d\n" % held)
    print("instance-flood: holding %d idle connections (%d refused)" % (held, failed), flush=True)


def hold(name, count, seconds, ready):
    held = [connect(name, 2) for _ in range(count)]
    opened = [s for s in held if s is not None]
    report_ready(ready, len(opened), count - len(opened))
    time.sleep(seconds)


def reconnect(name, count, seconds, ready):
    watched = selectors.DefaultSelector()
    made, missing = 0, 0

    def open_one():
        nonlocal made, missing
        s = connect(name, 0)
        if s is None:
            missing += 1
            return
        made += 1
        watched.register(s, selectors.EVENT_READ)

    for _ in range(count):
        open_one()
    report_ready(ready, made, missing)
    start = time.monotonic()
    stop = []
    signal.signal(signal.SIGTERM, lambda *_: stop.append(True))
    while not stop and time.monotonic() - start < seconds:
        # Closed by the instance (readable, nothing to read) or never made: made again at once.
        for key, _ in watched.select(timeout=0 if missing else 0.1):
            watched.unregister(key.fileobj)
            key.fileobj.close()
            open_one()
        pending, missing = missing, 0
        for _ in range(pending):
            open_one()
    took = time.monotonic() - start
    print("instance-flood: made %d connections in %.1f s, %.0f a second" % (made, took, made / took), flush=True)


def main():
    arguments = sys.argv[1:]
    again = arguments[:1] == ["--reconnect"]
    if again:
        arguments = arguments[1:]
    count, seconds, ready = int(arguments[0]), float(arguments[1]), arguments[2]
    (reconnect if again else hold)(instance_name(), count, seconds, ready)


if __name__ == "__main__":
    main()
