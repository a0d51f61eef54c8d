#!/usr/bin/env python3
"""shop-history.py FOLDER COUNT [UNIT]: writes into FOLDER a shop's history of COUNT saved sessions
and four more of the unit UNIT (default DEMO-0001, the demo controller's serial), the newest.

The COUNT sessions are 1,000 units of pads checked again and again: session n is unit n % 1000,
whose serial is SER-0000 … SER-0999, with a typed unit "Pad <u>" from unit 500 on, ticket
T-<n, five digits>, "Before repair" and "After repair" by turns of a thousand, one every hour from
2026-01-01 at noon (UTC). Small files: a pad's drift test each."""
import datetime
import json
import os
import sys
import uuid


def session(date, unit, serial, ticket, label, name):
    when = date.strftime("%Y-%m-%dT%H:%M:%SZ")
    return {"version": 1, "id": str(uuid.uuid4()).upper(), "date": when, "unit": unit, "label": label,
            "technician": "Ana", "ticket": ticket, "notes": "",
            "device": {"name": name, "serial": serial, "transport": "USB"},
            "results": [{"id": str(uuid.uuid4()).upper(), "kind": "drift", "element": "Left stick",
                         "source": "processed", "verdict": "pass", "headline": "offset 1% at rest",
                         "measures": [{"id": "offset", "label": "Offset at rest", "value": 0.01,
                                       "unit": "percent",
                                       "limit": {"warn": 0.04, "fail": 0.1, "direction": "above"}}],
                         "details": [], "date": when}],
            "appVersion": "1.0"}


def main():
    if len(sys.argv) not in (3, 4):
        sys.exit("usage: shop-history.py FOLDER COUNT [UNIT]")
    folder, count = sys.argv[1], int(sys.argv[2])
    demo = sys.argv[3] if len(sys.argv) == 4 else "DEMO-0001"
    os.makedirs(folder, exist_ok=True)
    start = datetime.datetime(2026, 1, 1, 12, tzinfo=datetime.timezone.utc)
    sessions = []
    for n in range(count):
        u = n % 1000
        sessions.append(session(start + datetime.timedelta(hours=n), f"Pad {u}" if u >= 500 else "",
                                f"SER-{u:04d}", f"T-{n:05d}",
                                "After repair" if n // 1000 % 2 else "Before repair", "Wireless Controller"))
    for k, label in enumerate(("Intake", "Before repair", "After repair", "Final check")):
        sessions.append(session(start + datetime.timedelta(hours=count + k), "", demo, f"D-{k}", label,
                                "Demo controller"))
    for s in sessions:
        with open(os.path.join(folder, s["id"] + ".json"), "w", encoding="utf-8") as out:
            json.dump(s, out, indent=2, sort_keys=True)


if __name__ == "__main__":
    main()
