#include "testkit/TouchpadAnalysis.h"

#include <algorithm>
#include <cmath>
#include <set>

#include "testkit/Fmt.h"

namespace RorozErurEvo::TouchpadAnalysis {
namespace {

constexpr double coverageWarn = 0.6; // share of the cells: warn below
constexpr double fingersWarn = 2;    // fingers: warn below
constexpr double fingersFail = 1;    // fingers: fail below

// Grid index of a position from −1 to 1 split into `parts`, clamped before the conversion so a
// wild position cannot overflow it.
int slot(double position, int parts) {
    const double index = std::trunc((position + 1) * 0.5 * parts);
    if (std::isnan(index)) return 0;
    return static_cast<int>(std::clamp(index, 0.0, static_cast<double>(parts - 1)));
}

} // namespace

int cell(const TouchSample& touch) { return slot(touch.x, columns) + slot(touch.y, rows) * columns; }

double coverage(const std::vector<TouchSample>& touches) {
    std::set<int> cells;
    for (const auto& touch : touches)
        if (std::isfinite(touch.x) && std::isfinite(touch.y)) cells.insert(cell(touch));
    return static_cast<double>(cells.size()) / (columns * rows);
}

TestResult result(const std::vector<TouchSample>& touches, const std::string& element, ValueSource source, Date date) {
    std::set<decltype(TouchSample::finger)> fingerSet;
    for (const auto& touch : touches) fingerSet.insert(touch.finger);
    const auto fingers = static_cast<double>(fingerSet.size());
    const double covered = coverage(touches);

    using Direction = Limit::Direction;
    std::vector<Measure> measures{
        {"coverage", "Surface reached", covered, MeasureUnit::percent, Limit{coverageWarn, std::nullopt, Direction::below}},
        {"fingers", "Fingers registered", fingers, MeasureUnit::count, Limit{fingersWarn, fingersFail, Direction::below}},
    };
    const Verdict verdict = verdictOfMeasures(measures);

    std::string headline = "both fingers track";
    if (verdict != Verdict::pass)
        headline = Fmt::trim(fingers, 0) + " finger" + (fingerSet.size() == 1 ? "" : "s") + ", " +
                   Fmt::trim(covered * 100, 1) + "%" + " of the surface";
    std::vector<std::string> details{"Cells reached on an " + Fmt::trim(columns, 0) + "×" + Fmt::trim(rows, 0) + " grid."};
    return TestResult(TestKind::touchpad, element, source, verdict, headline, measures, details, std::nullopt,
                      std::nullopt, date, Uuid::random());
}

} // namespace RorozErurEvo::TouchpadAnalysis
