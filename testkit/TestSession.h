#pragma once
// One saved visit of one unit to the bench: the unit record, the device and its results, and
// the JSON text of its file.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "testkit/Date.h"
#include "testkit/DeviceInfo.h"
#include "testkit/Json.h"
#include "testkit/Measure.h"
#include "testkit/TestResult.h"
#include "testkit/Uuid.h"

namespace RorozErurEvo {

struct VerdictCounts {
    int pass = 0;
    int warn = 0;
    int fail = 0;
    friend bool operator==(const VerdictCounts&, const VerdictCounts&) = default;
};

struct UnitGroup;
struct UnitIndexGroup;

// What a session tested: a controller on the bench, or a keyboard or mouse in its tester. Only
// sessions of one kind are compared, as their tests have nothing in common.
enum class DeviceKind { controller, keyboard, mouse };

struct TestSession {
    static constexpr int currentVersion = 1;

    int version = currentVersion; // format version of the record
    Uuid id;                      // also the file name in the archive
    Date date{};                  // when the session was saved
    std::string unit;             // serial or ticket typed by the technician; may be empty
    std::string label;            // stage of the unit in the workflow; may be empty
    std::string technician;
    std::string ticket;
    std::string notes;
    DeviceInfo device;
    std::vector<TestResult> results; // in the order the runner handed them over
    std::optional<std::string> appVersion;
    std::optional<std::string> profile; // label of the limits the results were judged against

    // The first of unit, serial and ticket that is not blank, trimmed; else the device name as is.
    std::string unitKey() const;
    Verdict verdict() const;
    VerdictCounts counts() const;
    // Catalogue order of kinds; within a kind, elements in the order they first appear.
    std::vector<TestResult> sortedResults() const;
    // The same order as indexes into results, for callers that must not copy a long session.
    std::vector<std::size_t> sortedOrder() const;
    // "<device> — <label>", or the device name alone without a label.
    std::string title() const;
    // Keyboard or mouse when the session holds that tester's result (the testers save nothing
    // else), controller otherwise; the file keeps no such field, so it is read from the results.
    DeviceKind deviceKind() const;

    // Sessions grouped by unitKey, each group newest first, groups by their newest session.
    static std::vector<UnitGroup> byUnit(const std::vector<TestSession>& sessions);
    // The same grouping as positions in `sessions`, for a list too long to copy on every change.
    static std::vector<UnitIndexGroup> byUnitIndex(const std::vector<TestSession>& sessions);

    json toJson() const;
    static TestSession fromJson(const json& value);

    friend bool operator==(const TestSession&, const TestSession&) = default;
};

struct UnitGroup {
    std::string unit;
    std::vector<TestSession> sessions;
    friend bool operator==(const UnitGroup&, const UnitGroup&) = default;
};

struct UnitIndexGroup {
    std::string unit;
    std::vector<std::size_t> sessions; // positions in the list that was grouped
    friend bool operator==(const UnitIndexGroup&, const UnitIndexGroup&) = default;
};

namespace SessionCoder {
// The file text: keys sorted, indented by 2, dates to the second, "/" escaped as "\/".
// Throws EncodingError when the session holds a number that is not finite.
std::string encode(const TestSession& session);
// Throws DecodeError on anything but a session file; nothing is repaired.
TestSession decode(std::string_view data);
// Text of a JSON document in the session file's style (used by the export document too).
std::string write(const json& document);
} // namespace SessionCoder

// Text without leading and trailing white space and line breaks, Unicode spaces included.
std::string trimmedWhitespace(std::string_view text);

} // namespace RorozErurEvo
