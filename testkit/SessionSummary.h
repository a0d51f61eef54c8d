#pragma once
// What listing a saved session needs of it and no more: what the history's rows show (label,
// date, device name, verdict), what groups them and looks a unit up (unit, serial, ticket: the
// unit key), and what the compare picker offers and searches (the same, and the kind of device).
// A few hundred bytes, so a history of tens of thousands of sessions is listed, searched and
// grouped in a few megabytes; the rest (technician, the device's other facts, the results) is
// read from the file when the session is opened, and a fingerprint of it tells whether the file
// still holds the session that was listed.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "testkit/Date.h"
#include "testkit/Measure.h"
#include "testkit/TestSession.h"
#include "testkit/Uuid.h"

namespace RorozErurEvo {

struct SessionSummary {
    // The two facts of the device that a listing reads: its name (the row's caption, the unit key
    // of last resort) and its serial (the unit key when no unit was typed, and searched).
    struct Device {
        std::string name;
        std::optional<std::string> serial;
        friend bool operator==(const Device&, const Device&) = default;
    };

    Uuid id;
    Date date{};
    std::string unit;
    std::string label;
    std::string ticket;
    Device device;
    Verdict verdictValue = Verdict::pass;
    DeviceKind kind = DeviceKind::controller;
    // Of everything else describes() checks: the technician, the device's other facts and each
    // result's kind, source, verdict and element. Made afresh in each process, never stored.
    std::uint64_t fingerprint = 0;
    // The name of the file it was listed from, when that is not "<id>.json": the folder's reader
    // takes any name, and opening must read the file that was listed. Empty otherwise.
    std::string file;

    static SessionSummary of(const TestSession& session);
    // Whether this is the summary of `session` (of(session) == *this, but for `file`, without
    // copying it).
    bool describes(const TestSession& session) const;

    // The whole session's answers (TestSession's functions of the same names).
    std::string unitKey() const;
    Verdict verdict() const { return verdictValue; }
    DeviceKind deviceKind() const { return kind; }
    std::string title() const;
    static std::vector<UnitIndexGroup> byUnitIndex(const std::vector<SessionSummary>& sessions);

    friend bool operator==(const SessionSummary&, const SessionSummary&) = default;
};

} // namespace RorozErurEvo
