#!/usr/bin/env python3
"""long-sessions.py [--notes-only] FOLDER [UNIT]: writes into FOLDER three saved sessions of the unit UNIT
(default DEMO-0001, the demo controller's serial) whose texts are as long as a session file may
hold: the newest with a GUID of 30 MB on the device, one with 31 MB of notes (lines of prose, then
one line of 8 MB without a break), and the oldest with an ordinary GUID but a headline and an
element name of 1 MB each; with --notes-only, the one with 31 MB of notes alone. Each file stays
under the session folder's 32 MiB limit."""
import json
import os
import sys
import uuid


def result(element, headline, date):
    return {"id": str(uuid.uuid4()).upper(), "kind": "drift", "element": element, "source": "processed",
            "verdict": "warn", "headline": headline,
            "measures": [{"id": "offset", "label": "Offset at rest", "value": 0.05, "unit": "percent",
                          "limit": {"warn": 0.04, "fail": 0.1, "direction": "above"}}],
            "details": [], "date": date}


def session(unit, date, label, device, notes="", results=()):
    return {"version": 1, "id": str(uuid.uuid4()).upper(), "date": date, "unit": unit, "label": label,
            "technician": "Ana", "ticket": "T-1", "notes": notes, "device": device, "results": list(results),
            "appVersion": "1.0"}


def main():
    args = sys.argv[1:]
    notes_only = args[:1] == ["--notes-only"]
    if notes_only:
        args = args[1:]
    if len(args) not in (1, 2):
        sys.exit("usage: long-sessions.py [--notes-only] FOLDER [UNIT]")
    folder = args[0]
    unit = args[1] if len(args) == 2 else "DEMO-0001"
    os.makedirs(folder, exist_ok=True)
    pad = {"name": "Demo controller", "vendor": "Built-in recordings", "serial": unit, "transport": "USB"}
    line = "The left stick drifts a little to the upper right after the repair; checked twice. "
    notes = (line * 12 + "\n") * 23000 + "x" * (8 << 20)
    sessions = [
        session(unit, "2026-01-02T09:00:00Z", "Long notes", pad, notes,
                [result("Left stick", "offset 5% at rest", "2026-01-02T09:00:00Z")]),
        session(unit, "2026-01-03T09:00:00Z", "Long GUID", dict(pad, guid="0300" * (30 << 18)),
                "Short notes.", [result("Left stick", "offset 5% at rest", "2026-01-03T09:00:00Z")]),
        session(unit, "2026-01-01T09:00:00Z", "Long headline", dict(pad, guid="03000000" * 4), "",
                [result("E" * (1 << 20), "h " * (1 << 19), "2026-01-01T09:00:00Z")]),
    ]
    for s in sessions[:1] if notes_only else sessions:
        text = json.dumps(s, indent=2, sort_keys=True)
        assert len(text.encode()) < 32 << 20, len(text)
        with open(os.path.join(folder, s["id"] + ".json"), "w", encoding="utf-8") as out:
            out.write(text)


if __name__ == "__main__":
    main()
