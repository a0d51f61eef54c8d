#include "testkit/TestResult.h"

#include <cmath>

#include "testkit/Text.h"

namespace RorozErurEvo {

std::string title(TestKind kind) {
    switch (kind) {
    case TestKind::drift: return "Drift at rest";
    case TestKind::circularity: return "Circularity";
    case TestKind::snapback: return "Return to center";
    case TestKind::deadzone: return "Inner deadzone";
    case TestKind::trigger: return "Trigger travel";
    case TestKind::buttons: return "All buttons";
    case TestKind::hold: return "Hold check";
    case TestKind::dpad: return "D-pad";
    case TestKind::rumble: return "Rumble";
    case TestKind::lights: return "Lights";
    case TestKind::adaptiveTriggers: return "Adaptive triggers";
    case TestKind::motion: return "Motion sensors";
    case TestKind::touchpad: return "Touchpad";
    case TestKind::battery: return "Battery";
    case TestKind::axisNoise: return "Axis noise";
    case TestKind::reportRate: return "Report rate";
    case TestKind::keyboard: return "Keyboard";
    case TestKind::mouse: return "Mouse";
    case TestKind::soak: return "Wireless soak";
    case TestKind::axisSweep: return "Full travel";
    case TestKind::axisCenter: return "Center at rest";
    case TestKind::pedal: return "Pedal travel";
    }
    return {};
}

int order(TestKind kind) { return caseIndex(kind); }

json StickPlot::toJson() const {
    json list = json::array();
    for (const auto& radius : radii) list.push_back(radius ? json(*radius) : json(nullptr));
    return json{{"gate", rawValue(gate)}, {"scale", scale}, {"radii", list}};
}

StickPlot StickPlot::fromJson(const json& value) {
    Json::requireObject(value, "plot");
    StickPlot plot;
    plot.gate = Json::enumValue<GateShape>(value, "gate");
    plot.scale = Json::number(value, "scale");
    const json& list = Json::member(value, "radii");
    if (!list.is_array()) throw DecodeError("\"radii\" is not an array");
    plot.radii.reserve(list.size());
    for (const json& item : list) {
        if (item.is_null())
            plot.radii.push_back(std::nullopt);
        else if (item.is_number())
            plot.radii.push_back(item.get<double>());
        else
            throw DecodeError("a plot radius is neither a number nor null");
    }
    return plot;
}

Verdict verdictOfMeasures(const std::vector<Measure>& measures) {
    Verdict result = Verdict::pass;
    for (const auto& measure : measures)
        if (auto v = measure.verdict(); v && *v > result) result = *v;
    return result;
}

TestResult::TestResult(TestKind kind, std::string element, ValueSource source, std::optional<Verdict> verdict,
                       std::string headline, std::vector<Measure> measures, std::vector<std::string> details,
                       std::optional<StickPlot> plot, std::optional<SoakStrip> timeline, Date date, Uuid id)
    : id(id), kind(kind), element(std::move(element)), source(source),
      verdict(verdict ? *verdict : verdictOfMeasures(measures)), headline(std::move(headline)),
      measures(std::move(measures)), details(std::move(details)), plot(std::move(plot)),
      timeline(std::move(timeline)), date(date) {}

std::string TestResult::key() const { return rawValue(kind) + "|" + element + "|" + rawValue(source); }

std::string sourceMark(ValueSource source) {
    return source == ValueSource::raw ? "Raw HID" : std::string();
}

std::string withSourceMark(const std::string& name, ValueSource source) {
    const std::string mark = sourceMark(source);
    return mark.empty() ? name : name + " (" + mark + ")";
}

std::string testTitle(const std::string& element, TestKind kind, ValueSource source, const std::string& separator) {
    const std::string kindTitle = title(kind);
    const bool alone = element.empty() || equalIgnoringCase(element, kindTitle);
    return withSourceMark(alone ? kindTitle : element + separator + kindTitle, source);
}

std::string TestResult::title() const { return testTitle(element, kind, source, ": "); }

std::string TestResult::spoken() const { return title() + ": " + word(verdict) + ", " + headline; }

std::optional<Measure> TestResult::measure(const std::string& measureId) const {
    for (const auto& m : measures)
        if (m.id == measureId) return m;
    return std::nullopt;
}

std::optional<Measure> TestResult::mainMeasure() const {
    for (const auto& m : measures)
        if (m.limit) return m;
    if (measures.empty()) return std::nullopt;
    return measures.front();
}

namespace {

// How far a measure lies past the bound that gave it its verdict, as a share of that bound (of
// 1 for a bound of 0), so a value twice its limit counts for more than one just over another.
double pastBound(const Measure& measure, Verdict verdict) {
    const Limit& limit = *measure.limit;
    const double bound = verdict == Verdict::fail ? limit.fail.value_or(0) : limit.warn.value_or(0);
    const double excess = limit.direction == Limit::Direction::above ? measure.value - bound : bound - measure.value;
    return excess / (bound == 0 ? 1 : std::abs(bound));
}

} // namespace

std::optional<Measure> TestResult::decidingMeasure() const {
    const Measure* deciding = nullptr;
    Verdict worstVerdict = Verdict::pass;
    double worstExcess = 0;
    for (const auto& m : measures) {
        const Verdict v = m.verdict().value_or(Verdict::pass);
        if (v == Verdict::pass) continue;
        const double excess = pastBound(m, v);
        if (!deciding || v > worstVerdict || (v == worstVerdict && excess > worstExcess)) {
            deciding = &m;
            worstVerdict = v;
            worstExcess = excess;
        }
    }
    if (deciding) return *deciding;
    return mainMeasure();
}

json TestResult::toJson() const {
    json measureList = json::array();
    for (const auto& m : measures) measureList.push_back(m.toJson());
    json out = {
        {"id", id.text()},
        {"kind", rawValue(kind)},
        {"element", element},
        {"source", rawValue(source)},
        {"verdict", rawValue(verdict)},
        {"headline", headline},
        {"measures", measureList},
        {"details", details},
        {"date", Dates::iso(date)},
    };
    if (plot) out["plot"] = plot->toJson();
    if (timeline) out["timeline"] = timeline->toJson();
    return out;
}

TestResult TestResult::fromJson(const json& value) {
    Json::requireObject(value, "result");
    TestResult result;
    auto id = Uuid::parse(Json::string(value, "id"));
    if (!id) throw DecodeError("\"id\" of a result is not a UUID");
    result.id = *id;
    result.kind = Json::enumValue<TestKind>(value, "kind");
    result.element = Json::string(value, "element");
    result.source = Json::enumValue<ValueSource>(value, "source");
    result.verdict = Json::enumValue<Verdict>(value, "verdict");
    result.headline = Json::string(value, "headline");

    const json& measureList = Json::member(value, "measures");
    if (!measureList.is_array()) throw DecodeError("\"measures\" is not an array");
    result.measures.reserve(measureList.size());
    for (const json& item : measureList) result.measures.push_back(Measure::fromJson(item));

    const json& detailList = Json::member(value, "details");
    if (!detailList.is_array()) throw DecodeError("\"details\" is not an array");
    result.details.reserve(detailList.size());
    for (const json& item : detailList) {
        if (!item.is_string()) throw DecodeError("a detail line is not a string");
        result.details.push_back(item.get<std::string>());
    }

    if (auto it = value.find("plot"); it != value.end() && !it->is_null()) result.plot = StickPlot::fromJson(*it);
    if (auto it = value.find("timeline"); it != value.end() && !it->is_null())
        result.timeline = SoakStrip::fromJson(*it);

    auto date = Dates::parseIso(Json::string(value, "date"));
    if (!date) throw DecodeError("\"date\" of a result is not an ISO 8601 date to the second");
    result.date = *date;
    return result;
}

} // namespace RorozErurEvo
