#pragma once
// The outcome of one test of one element of one device, its derived texts and its JSON form.
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "testkit/Date.h"
#include "testkit/Enum.h"
#include "testkit/Json.h"
#include "testkit/Measure.h"
#include "testkit/SoakStrip.h"
#include "testkit/StickGeometry.h"
#include "testkit/Uuid.h"

namespace RorozErurEvo {

// Declaration order is the catalogue order and the sort key of results within a session.
enum class TestKind {
    drift, circularity, snapback, deadzone, trigger, buttons, hold, dpad, rumble, lights,
    adaptiveTriggers, motion, touchpad, battery, axisNoise, reportRate, keyboard, mouse, soak,
    axisSweep, axisCenter, pedal
};

template <> struct EnumTable<TestKind> {
    static constexpr std::array entries{
        EnumEntry{TestKind::drift, "drift"},
        EnumEntry{TestKind::circularity, "circularity"},
        EnumEntry{TestKind::snapback, "snapback"},
        EnumEntry{TestKind::deadzone, "deadzone"},
        EnumEntry{TestKind::trigger, "trigger"},
        EnumEntry{TestKind::buttons, "buttons"},
        EnumEntry{TestKind::hold, "hold"},
        EnumEntry{TestKind::dpad, "dpad"},
        EnumEntry{TestKind::rumble, "rumble"},
        EnumEntry{TestKind::lights, "lights"},
        EnumEntry{TestKind::adaptiveTriggers, "adaptiveTriggers"},
        EnumEntry{TestKind::motion, "motion"},
        EnumEntry{TestKind::touchpad, "touchpad"},
        EnumEntry{TestKind::battery, "battery"},
        EnumEntry{TestKind::axisNoise, "axisNoise"},
        EnumEntry{TestKind::reportRate, "reportRate"},
        EnumEntry{TestKind::keyboard, "keyboard"},
        EnumEntry{TestKind::mouse, "mouse"},
        EnumEntry{TestKind::soak, "soak"},
        EnumEntry{TestKind::axisSweep, "axisSweep"},
        EnumEntry{TestKind::axisCenter, "axisCenter"},
        EnumEntry{TestKind::pedal, "pedal"},
    };
};

// "Drift at rest", "Circularity", …
std::string title(TestKind kind);
// Position in the catalogue, 0 … 21.
int order(TestKind kind);

// Where a result's numbers came from.
enum class ValueSource { processed, raw, manual };

template <> struct EnumTable<ValueSource> {
    static constexpr std::array entries{EnumEntry{ValueSource::processed, "processed"},
                                        EnumEntry{ValueSource::raw, "raw"},
                                        EnumEntry{ValueSource::manual, "manual"}};
};

// A session can hold the same test measured on processed and on raw HID values, with different
// readings; whatever names a result (its title, a plot's caption, a test card, the listing text)
// carries this mark for raw values so the two are never taken for one another.
// "Raw HID" for raw values, empty otherwise.
std::string sourceMark(ValueSource source);
// `name` followed by " (Raw HID)" for raw values; `name` unchanged otherwise.
std::string withSourceMark(const std::string& name, ValueSource source);

// What names a test of an element: the element's name and the kind's title joined by
// `separator` ("Left stick: Drift at rest"), or the title alone when there is no element or the
// element is named like its test (a "D-pad" element's d-pad test is "D-pad", not "D-pad: D-pad");
// with the source's mark for raw values.
std::string testTitle(const std::string& element, TestKind kind, ValueSource source, const std::string& separator);

// Outline data of a circularity result.
struct StickPlot {
    GateShape gate = GateShape::round;
    double scale = 1;                        // fitted to the stick's reach, applied to the gate
    std::vector<std::optional<double>> radii; // outer radius per sector; absent where none fell

    // Absent radii are written as null and read back as absent in place.
    json toJson() const;
    static StickPlot fromJson(const json& value);

    friend bool operator==(const StickPlot&, const StickPlot&) = default;
};

struct TestResult {
    Uuid id;
    TestKind kind = TestKind::drift;
    std::string element;   // the element's name as the user sees it; may be empty
    ValueSource source = ValueSource::processed;
    Verdict verdict = Verdict::pass;
    std::string headline;
    std::vector<Measure> measures;
    std::vector<std::string> details;
    std::optional<StickPlot> plot;
    std::optional<SoakStrip> timeline;
    Date date{};

    TestResult() = default;
    // Without a verdict, the verdict is the worst judgement of the measures that carry a limit
    // (pass when none does). A verdict passed in is taken as it is.
    TestResult(TestKind kind, std::string element, ValueSource source, std::optional<Verdict> verdict,
               std::string headline, std::vector<Measure> measures, std::vector<std::string> details,
               std::optional<StickPlot> plot = std::nullopt, std::optional<SoakStrip> timeline = std::nullopt,
               Date date = Dates::now(), Uuid id = Uuid::random());

    // "drift|Left stick|processed": the slot a result fills.
    std::string key() const;
    // "Left stick: Drift at rest", or the kind's title alone when element is empty; with the
    // source's mark for raw values: "Left stick: Drift at rest (Raw HID)".
    std::string title() const;
    // title + ": " + verdict word + ", " + headline.
    std::string spoken() const;
    // The first measure with this id.
    std::optional<Measure> measure(const std::string& id) const;
    // The first measure with a limit, else the first measure; absent when there are none.
    std::optional<Measure> mainMeasure() const;
    // The measure that decided the verdict: of the measures past a bound, the one with the worst
    // verdict and, among those, the one furthest past its bound (relative to the bound; the first
    // on a tie). When no measure is past a bound, the main measure.
    std::optional<Measure> decidingMeasure() const;

    // The date is written as ISO 8601 text to the second. Reading is strict: every key but
    // "plot" and "timeline" is required, and the verdict is kept as read.
    json toJson() const;
    static TestResult fromJson(const json& value);

    friend bool operator==(const TestResult&, const TestResult&) = default;
};

// The worst judgement of the measures that carry a limit; pass when none does.
Verdict verdictOfMeasures(const std::vector<Measure>& measures);

} // namespace RorozErurEvo
