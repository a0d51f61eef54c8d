#include "testkit/SessionComparison.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <set>

#include "testkit/Fmt.h"

namespace RorozErurEvo {

namespace {

// Relative change of a main measure that still counts as the same reading.
constexpr double relativeTolerance = 0.1;
// Smallest tolerated change: a fifth of a percentage point for fractions, half a unit otherwise.
constexpr double percentFloor = 0.002;
constexpr double otherFloor = 0.5;

std::map<std::string, TestResult> byKey(const TestSession& session) {
    std::map<std::string, TestResult> table;
    for (const auto& result : session.results) table.insert_or_assign(result.key(), result); // the later one wins
    return table;
}

std::optional<TestResult> lookup(const std::map<std::string, TestResult>& table, const std::string& key) {
    auto it = table.find(key);
    if (it == table.end()) return std::nullopt;
    return it->second;
}

} // namespace

SessionComparison::Change SessionComparison::change(const std::optional<TestResult>& before,
                                                    const std::optional<TestResult>& after) {
    if (!before) return Change::added;
    if (!after) return Change::missing;
    if (after->verdict != before->verdict) return after->verdict < before->verdict ? Change::better : Change::worse;

    auto b = before->mainMeasure();
    auto a = after->mainMeasure();
    if (!b || !a || a->id != b->id) return Change::same;
    double delta = a->value - b->value;
    double floor = b->unit == MeasureUnit::percent ? percentFloor : otherFloor;
    double tolerance = std::max(std::fabs(b->value) * relativeTolerance, floor);
    if (!(std::fabs(delta) > tolerance)) return Change::same; // within tolerance, or not a number
    bool largerIsWorse = !a->limit || a->limit->direction == Limit::Direction::above;
    return (delta < 0) == largerIsWorse ? Change::better : Change::worse;
}

std::optional<SessionComparison::Reading> SessionComparison::reading(const std::optional<TestResult>& before,
                                                                   const std::optional<TestResult>& after) {
    std::optional<Measure> judged;
    if (before && after && before->verdict == after->verdict) {
        judged = after->mainMeasure();
        if (!judged) judged = before->mainMeasure();
    } else if (before && (!after || before->verdict > after->verdict)) {
        judged = before->decidingMeasure();
    } else if (after) {
        judged = after->decidingMeasure();
    }
    if (!judged) return std::nullopt;
    // The side the measure came from shows that very measure; the other its measure of that id.
    auto valueOf = [&](const std::optional<TestResult>& side) -> std::optional<Measure> {
        if (!side) return std::nullopt;
        for (const auto& m : side->measures)
            if (m == *judged) return m;
        return side->measure(judged->id);
    };
    return Reading{judged->id, judged->label, valueOf(before), valueOf(after)};
}

SessionComparison::SessionComparison(TestSession beforeSession, TestSession afterSession)
    : before(std::move(beforeSession)), after(std::move(afterSession)) {
    auto beforeTable = byKey(before);
    auto afterTable = byKey(after);

    std::vector<std::string> keys;
    std::set<std::string> seen;
    for (const auto* session : {&before, &after})
        for (const auto& result : session->sortedResults())
            if (seen.insert(result.key()).second) keys.push_back(result.key());

    for (const auto& key : keys) {
        Row row;
        row.key = key;
        row.before = lookup(beforeTable, key);
        row.after = lookup(afterTable, key);
        const TestResult& shown = row.before ? *row.before : *row.after;
        row.title = shown.title();
        row.kind = shown.kind;
        row.change = change(row.before, row.after);
        rows.push_back(std::move(row));
    }
    std::stable_sort(rows.begin(), rows.end(), [](const Row& x, const Row& y) { return order(x.kind) < order(y.kind); });
}

std::string SessionComparison::summary() const {
    int better = 0, worse = 0, same = 0, added = 0;
    for (const auto& row : rows) {
        switch (row.change) {
        case Change::better: ++better; break;
        case Change::worse: ++worse; break;
        case Change::same: ++same; break;
        case Change::added: ++added; break;
        case Change::missing: break;
        }
    }
    std::string text = Fmt::trim(better, 0) + " better, " + Fmt::trim(worse, 0) + " worse, " + Fmt::trim(same, 0) +
                       " the same";
    if (added > 0) text += ", " + Fmt::trim(added, 0) + " only after";
    return text;
}

std::string word(SessionComparison::Change change) {
    switch (change) {
    case SessionComparison::Change::better: return "Better";
    case SessionComparison::Change::worse: return "Worse";
    case SessionComparison::Change::same: return "Same";
    case SessionComparison::Change::added: return "Only after";
    case SessionComparison::Change::missing: return "Only before";
    }
    return {};
}

std::string symbol(SessionComparison::Change change) {
    switch (change) {
    case SessionComparison::Change::better: return "arrow.up.circle.fill";
    case SessionComparison::Change::worse: return "arrow.down.circle.fill";
    case SessionComparison::Change::same: return "equal.circle.fill";
    case SessionComparison::Change::added: return "plus.circle.fill";
    case SessionComparison::Change::missing: return "minus.circle.fill";
    }
    return {};
}

} // namespace RorozErurEvo
