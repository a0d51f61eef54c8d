#include "testkit/DPadTest.h"

#include "testkit/ChatterAnalysis.h"
#include "testkit/Fmt.h"
#include "testkit/TimeOrder.h"

namespace RorozErurEvo {
namespace DPadTest {

namespace {
// Registration threshold of the pad's axes, as a fraction of full deflection.
constexpr double kRegisterThreshold = 0.5;

// Names of the held arms, in ascending order (std::set keeps them so).
std::set<std::string> arms(const StickSample& sample, double threshold) {
    std::set<std::string> held;
    if (sample.y > threshold) held.insert("Up");
    if (sample.y < -threshold) held.insert("Down");
    if (sample.x < -threshold) held.insert("Left");
    if (sample.x > threshold) held.insert("Right");
    return held;
}
} // namespace

std::optional<Direction8> direction(double x, double y, double threshold) {
    if (x > threshold)
        return y > threshold    ? Direction8::upRight
               : y < -threshold ? Direction8::downRight
                                : Direction8::right;
    if (x < -threshold)
        return y > threshold ? Direction8::upLeft : y < -threshold ? Direction8::downLeft : Direction8::left;
    if (y > threshold) return Direction8::up;
    if (y < -threshold) return Direction8::down;
    return std::nullopt;
}

std::set<Direction8> directions(const std::vector<StickSample>& samples) {
    std::set<Direction8> seen;
    for (const StickSample& sample : samples)
        if (auto d = direction(sample.x, sample.y, kRegisterThreshold)) seen.insert(*d);
    return seen;
}

std::vector<ButtonEvent> events(const std::vector<StickSample>& samples, double threshold) {
    std::vector<ButtonEvent> out;
    std::set<std::string> held;
    for (const StickSample& sample : sortedByTime(samples)) {
        std::set<std::string> current = arms(sample, threshold);
        for (const std::string& arm : current)
            if (!held.contains(arm)) out.push_back(ButtonEvent{arm, true, sample.t});
        for (const std::string& arm : held)
            if (!current.contains(arm)) out.push_back(ButtonEvent{arm, false, sample.t});
        held = std::move(current);
    }
    return out;
}

TestResult result(const std::vector<StickSample>& samples, const std::string& element, ValueSource source,
                  const Thresholds& thresholds, Date date) {
    std::set<Direction8> seen = directions(samples);
    std::vector<Direction8> missing;
    for (Direction8 d : allCases<Direction8>())
        if (!seen.contains(d)) missing.push_back(d);

    auto chatter = ChatterAnalysis::analyze(events(samples, kRegisterThreshold), thresholds.chatterWindowMs);
    int total = ChatterAnalysis::total(chatter);

    std::vector<Measure> measures{
        {"missing", "Directions not registered", double(missing.size()), MeasureUnit::count,
         Limit{std::nullopt, 0.0, Limit::Direction::above}},
        {"chatter", "Chatter events", double(total), MeasureUnit::count,
         Limit{0.0, 1.0, Limit::Direction::above}},
    };

    std::vector<std::string> details;
    if (!missing.empty()) {
        std::string names;
        for (Direction8 d : missing)
            names += (names.empty() ? "" : ", ") + name(d);
        details.push_back("Not registered: " + names + ".");
    }
    for (const auto& [input, entry] : chatter)
        if (entry.chatters >= 1) details.push_back(ChatterAnalysis::detailLine(input, entry));

    std::string headline;
    if (!missing.empty())
        headline = Fmt::trim(double(8 - missing.size()), 0) + " of 8 directions";
    else
        headline = total > 0 ? "all 8 directions, chatter" : "all 8 directions";

    return TestResult(TestKind::dpad, element, source, std::nullopt, headline, measures, details,
                      std::nullopt, std::nullopt, date);
}

} // namespace DPadTest
} // namespace RorozErurEvo
