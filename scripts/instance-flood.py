#!/usr/bin/env python3
"""instance-flood.py COUNT HOLD_SECONDS READY_FILE: a hostile peer of the same user for
scripts/instance-road.sh. Opens COUNT connections to the running instance's launch listener
(named as the application names it, from the user, XDG_RUNTIME_DIR and XDG_CONFIG_HOME), never
writes to any of them, and holds them all open for HOLD_SECONDS. Writes how many it opened to
READY_FILE once it has opened them, then prints it. Needs a descriptor limit above COUNT."""
import hashlib
import os
import socket
import sys
import time


def instance_name():
    identity = "%d\n%s\n%s" % (os.getuid(), os.environ["XDG_RUNTIME_DIR"], os.environ["XDG_CONFIG_HOME"])
    return "\0com.quenlow.Tessarine-" + hashlib.sha256(identity.encode()).hexdigest()[:24]


def main():
    count, hold, ready = int(sys.argv[1]), float(sys.argv[2]), sys.argv[3]
    name = instance_name()
    held, failed = [], 0
    for _ in range(count):
        s = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        s.setblocking(False)
        # A full queue refuses a connection for now; one refused this long is counted as lost.
        deadline = time.monotonic() + 2
        while True:
            try:
                s.connect(name)
                held.append(s)
                break
            except BlockingIOError:
                if time.monotonic() > deadline:
                    failed += 1
                    s.close()
                    break
                time.sleep(0.001)
            except OSError:
                failed += 1
                s.close()
                break
    with open(ready, "w") as f:
        f.write("%d\n" % len(held))
    print("instance-flood: holding %d idle connections (%d refused)" % (len(held), failed), flush=True)
    time.sleep(hold)


if __name__ == "__main__":
    main()
