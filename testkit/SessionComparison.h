#pragma once
// Two sessions of one unit lined up test by test: what got better, worse or stayed the same.
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "testkit/Enum.h"
#include "testkit/TestResult.h"
#include "testkit/TestSession.h"

namespace RorozErurEvo {

struct SessionComparison {
    // `added` is the result found only after ("new"), `missing` the one found only before.
    enum class Change { better, worse, same, added, missing };

    // The one measure a row is read by, with each side's value of it, so that a row never sets
    // two different measures side by side. It is the measure the change was judged by: the main
    // measure when the verdicts agree (the after result's, else the before result's); when they
    // differ, the measure that decided the worse verdict. A row with one side shows what decided
    // that side's verdict.
    struct Reading {
        std::string id;    // of the measure
        std::string label; // as the judged side names it
        std::optional<Measure> before; // absent where that side has no result or lacks the measure
        std::optional<Measure> after;

        friend bool operator==(const Reading&, const Reading&) = default;
    };
    // Absent when the side the measure is taken from has no measures at all.
    static std::optional<Reading> reading(const std::optional<TestResult>& before, const std::optional<TestResult>& after);

    struct Row {
        std::string key;   // TestResult::key of the results compared
        std::string title; // of the before result, else of the after result
        TestKind kind = TestKind::drift;
        std::optional<TestResult> before;
        std::optional<TestResult> after;
        Change change = Change::same;

        const std::string& id() const { return key; }
        std::optional<Reading> reading() const { return SessionComparison::reading(before, after); }
        friend bool operator==(const Row&, const Row&) = default;
    };

    TestSession before; // the earlier session
    TestSession after;  // the later session
    std::vector<Row> rows;

    SessionComparison(TestSession before, TestSession after);

    // "2 better, 0 worse, 5 the same, 1 only after"; results found only before are not counted.
    std::string summary() const;

    // The judgement of one pair of results under the same key.
    static Change change(const std::optional<TestResult>& before, const std::optional<TestResult>& after);

    friend bool operator==(const SessionComparison&, const SessionComparison&) = default;
};

template <> struct EnumTable<SessionComparison::Change> {
    static constexpr std::array entries{
        EnumEntry{SessionComparison::Change::better, "better"}, EnumEntry{SessionComparison::Change::worse, "worse"},
        EnumEntry{SessionComparison::Change::same, "same"}, EnumEntry{SessionComparison::Change::added, "new"},
        EnumEntry{SessionComparison::Change::missing, "missing"}};
};

// "Better", "Worse", "Same", "Only after", "Only before".
std::string word(SessionComparison::Change change);
// Name of the change's icon ("arrow.up.circle.fill", …).
std::string symbol(SessionComparison::Change change);

} // namespace RorozErurEvo
