#pragma once
// The vocabulary of judgement: a three-step verdict, the unit a number is shown in, the warn and
// fail bounds of a limit, and a measure that joins a value to its unit and limit.
#include <array>
#include <initializer_list>
#include <optional>
#include <ranges>
#include <string>
#include <vector>

#include "testkit/Enum.h"
#include "testkit/Json.h"

namespace RorozErurEvo {

// Ordered by declaration: pass < warn < fail, so the worst of several is their maximum.
enum class Verdict { pass, warn, fail };

template <> struct EnumTable<Verdict> {
    static constexpr std::array entries{EnumEntry{Verdict::pass, "pass"}, EnumEntry{Verdict::warn, "warn"},
                                        EnumEntry{Verdict::fail, "fail"}};
};

// "Pass", "Warn", "Fail": the verdict in spoken texts and in the CSV export.
std::string word(Verdict verdict);
// Name of the verdict's icon ("checkmark.circle.fill", …); app code maps it to a drawn symbol.
std::string symbol(Verdict verdict);

// The greatest verdict of a sequence; pass when the sequence is empty.
template <std::ranges::input_range R> Verdict worst(const R& verdicts) {
    Verdict result = Verdict::pass;
    for (Verdict v : verdicts)
        if (v > result) result = v;
    return result;
}
inline Verdict worst(std::initializer_list<Verdict> verdicts) {
    return worst<std::initializer_list<Verdict>>(verdicts);
}

// A value in `percent` is held as a fraction (0.12 means 12 %); every other unit holds the number
// as shown.
enum class MeasureUnit { percent, milliseconds, hertz, count, raw, degreesPerSecond, g, seconds };

template <> struct EnumTable<MeasureUnit> {
    static constexpr std::array entries{
        EnumEntry{MeasureUnit::percent, "percent"},
        EnumEntry{MeasureUnit::milliseconds, "milliseconds"},
        EnumEntry{MeasureUnit::hertz, "hertz"},
        EnumEntry{MeasureUnit::count, "count"},
        EnumEntry{MeasureUnit::raw, "raw"},
        EnumEntry{MeasureUnit::degreesPerSecond, "degreesPerSecond"},
        EnumEntry{MeasureUnit::g, "g"},
        EnumEntry{MeasureUnit::seconds, "seconds"},
    };
};

// Display text of a value in its unit ("8%", "10 ms", "3", "120°/s").
std::string format(MeasureUnit unit, double value);
// The same value worded for screen readers ("8 percent", "10 milliseconds").
std::string spoken(MeasureUnit unit, double value);
// The value as format() writes it, read back (79.6 ms is written "80 ms": 80); a value that is
// not finite comes back as it is. A rule judged on a value that is shown judges this one, so
// that the text never contradicts the verdict.
double shownValue(MeasureUnit unit, double value);

struct Limit {
    // above: larger is worse; below: smaller is worse.
    enum class Direction { above, below };

    std::optional<double> warn;   // absent: no warn bound
    std::optional<double> fail;   // absent: no fail bound
    Direction direction = Direction::above;

    // Strict comparisons: a value equal to a bound passes it; NaN trips nothing.
    Verdict verdict(double value) const;
    // "warn > 4%, fail > 8%"; empty when neither bound is set.
    std::string text(MeasureUnit unit) const;
    // "warn above 4 percent, fail above 8 percent".
    std::string spoken(MeasureUnit unit) const;

    json toJson() const;
    static Limit fromJson(const json& value);

    friend bool operator==(const Limit&, const Limit&) = default;
};

template <> struct EnumTable<Limit::Direction> {
    static constexpr std::array entries{EnumEntry{Limit::Direction::above, "above"},
                                        EnumEntry{Limit::Direction::below, "below"}};
};

struct Measure {
    std::string id;     // stable key within its result
    std::string label;  // shown beside the value
    double value = 0;   // in the unit's storage form
    MeasureUnit unit = MeasureUnit::count;
    std::optional<Limit> limit; // absent: informational only

    // Absent when there is no limit (such a measure never affects a result's verdict).
    std::optional<Verdict> verdict() const;
    std::string display() const;
    std::optional<std::string> limitText() const;
    // "Rest offset 2.5 percent, Pass, warn above 4 percent, fail above 8 percent".
    std::string spoken() const;

    // Verdict of the first measure with this id; pass when there is none or it has no limit.
    static Verdict verdict(const std::string& id, const std::vector<Measure>& measures);

    json toJson() const;
    static Measure fromJson(const json& value);

    friend bool operator==(const Measure&, const Measure&) = default;
};

} // namespace RorozErurEvo
