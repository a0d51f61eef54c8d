#include "testkit/Measure.h"

#include <charconv>
#include <cmath>

#include "testkit/Fmt.h"

namespace RorozErurEvo {

std::string word(Verdict verdict) {
    switch (verdict) {
    case Verdict::pass: return "Pass";
    case Verdict::warn: return "Warn";
    case Verdict::fail: return "Fail";
    }
    return {};
}

std::string symbol(Verdict verdict) {
    switch (verdict) {
    case Verdict::pass: return "checkmark.circle.fill";
    case Verdict::warn: return "exclamationmark.triangle.fill";
    case Verdict::fail: return "xmark.octagon.fill";
    }
    return {};
}

namespace {

// Counts and raw values show decimals only when they have a fraction.
int wholeOrOneDecimal(double value) { return value == std::round(value) ? 0 : 1; }

struct UnitText {
    std::string number;
    const char* shownSuffix;
    const char* spokenSuffix;
};

UnitText unitText(MeasureUnit unit, double value) {
    switch (unit) {
    case MeasureUnit::percent: return {Fmt::trim(value * 100, 1), "%", " percent"};
    case MeasureUnit::milliseconds:
        return {Fmt::trim(value, std::fabs(value) < 10 ? 1 : 0), " ms", " milliseconds"};
    case MeasureUnit::hertz: return {Fmt::trim(value, 0), " Hz", " hertz"};
    case MeasureUnit::count: return {Fmt::trim(value, wholeOrOneDecimal(value)), "", ""};
    case MeasureUnit::raw: return {Fmt::trim(value, wholeOrOneDecimal(value)), "", ""};
    case MeasureUnit::degreesPerSecond: return {Fmt::trim(value, 1), "\u00B0/s", " degrees per second"};
    case MeasureUnit::g: return {Fmt::trim(value, 2), " g", " g"};
    case MeasureUnit::seconds: return {Fmt::trim(value, 1), " s", " seconds"};
    }
    return {Fmt::trim(value, 1), "", ""};
}

std::string boundsText(const Limit& limit, MeasureUnit unit, bool worded) {
    bool above = limit.direction == Limit::Direction::above;
    std::string relation = worded ? (above ? "above" : "below") : (above ? ">" : "<");
    auto part = [&](const char* name, double bound) {
        return std::string(name) + " " + relation + " " + (worded ? spoken(unit, bound) : format(unit, bound));
    };
    std::string text;
    if (limit.warn) text = part("warn", *limit.warn);
    if (limit.fail) {
        if (!text.empty()) text += ", ";
        text += part("fail", *limit.fail);
    }
    return text;
}

} // namespace

std::string format(MeasureUnit unit, double value) {
    auto t = unitText(unit, value);
    return t.number + t.shownSuffix;
}

std::string spoken(MeasureUnit unit, double value) {
    auto t = unitText(unit, value);
    return t.number + t.spokenSuffix;
}

double shownValue(MeasureUnit unit, double value) {
    if (!std::isfinite(value)) return value;
    const std::string number = unitText(unit, value).number;
    double shown = value;
    if (std::from_chars(number.data(), number.data() + number.size(), shown).ec != std::errc{}) return value;
    return unit == MeasureUnit::percent ? shown / 100 : shown;
}

Verdict Limit::verdict(double value) const {
    // Strict comparisons; NaN compares false everywhere and so passes.
    if (direction == Direction::above) {
        if (fail && value > *fail) return Verdict::fail;
        if (warn && value > *warn) return Verdict::warn;
    } else {
        if (fail && value < *fail) return Verdict::fail;
        if (warn && value < *warn) return Verdict::warn;
    }
    return Verdict::pass;
}

std::string Limit::text(MeasureUnit unit) const { return boundsText(*this, unit, false); }

std::string Limit::spoken(MeasureUnit unit) const { return boundsText(*this, unit, true); }

json Limit::toJson() const {
    json out = json::object();
    if (warn) out["warn"] = *warn;
    if (fail) out["fail"] = *fail;
    out["direction"] = rawValue(direction);
    return out;
}

Limit Limit::fromJson(const json& value) {
    Json::requireObject(value, "limit");
    Limit limit;
    limit.warn = Json::optNumber(value, "warn");
    limit.fail = Json::optNumber(value, "fail");
    limit.direction = Json::enumValue<Direction>(value, "direction");
    return limit;
}

std::optional<Verdict> Measure::verdict() const {
    if (!limit) return std::nullopt;
    return limit->verdict(value);
}

std::string Measure::display() const { return format(unit, value); }

std::optional<std::string> Measure::limitText() const {
    if (!limit) return std::nullopt;
    return limit->text(unit);
}

std::string Measure::spoken() const {
    std::string text = label + " " + RorozErurEvo::spoken(unit, value);
    if (auto v = verdict()) text += ", " + word(*v);
    if (limit) {
        // A limit without bounds has nothing to say; leave no dangling separator.
        std::string bounds = limit->spoken(unit);
        if (!bounds.empty()) text += ", " + bounds;
    }
    return text;
}

Verdict Measure::verdict(const std::string& id, const std::vector<Measure>& measures) {
    for (const auto& measure : measures)
        if (measure.id == id) return measure.verdict().value_or(Verdict::pass);
    return Verdict::pass;
}

json Measure::toJson() const {
    json out = json::object();
    out["id"] = id;
    out["label"] = label;
    out["value"] = value;
    out["unit"] = rawValue(unit);
    if (limit) out["limit"] = limit->toJson();
    return out;
}

Measure Measure::fromJson(const json& value) {
    Json::requireObject(value, "measure");
    Measure measure;
    measure.id = Json::string(value, "id");
    measure.label = Json::string(value, "label");
    measure.value = Json::number(value, "value");
    measure.unit = Json::enumValue<MeasureUnit>(value, "unit");
    if (auto it = value.find("limit"); it != value.end() && !it->is_null()) measure.limit = Limit::fromJson(*it);
    return measure;
}

} // namespace RorozErurEvo
