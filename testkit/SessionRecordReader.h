#pragma once
// The session record read from a parsed JSON text, whichever parser parsed it. It follows
// TestSession::fromJson and the record readers it calls, which stay the reference, step by
// step: members are looked up by name (the last of several with one name, as in a document),
// read in the same order and refused with the same words, so a file gets the same session or
// the same message; it only reads straight from the parser's values instead of a document.
//
// A parser is plugged in as a `Doc` that answers, for one of its values:
//   bool isNull(Value)
//   std::optional<std::string_view> string(Value)       absent when not a string
//   std::optional<SessionRecord::Number> number(Value)  absent when not a number
//   std::optional<Object> object(Value)                 absent when not an object; iterating an
//       Object gives iterators with key() and value(), members in file order, duplicates kept
//   std::optional<Array> array(Value)                   absent when not an array; iterating an
//       Array gives the items' Values
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

#include "testkit/DisplayText.h"
#include "testkit/TestSession.h"

namespace RorozErurEvo::SessionRecord {

// A JSON number as the parser read it: integers that fit 64 bits stay integers.
struct Number {
    enum class Kind : std::uint8_t { integer, unsignedInteger, real };
    Kind kind = Kind::integer;
    std::int64_t integer = 0;
    std::uint64_t unsignedInteger = 0;
    double real = 0;
};

template <class Doc> class Reader {
public:
    using Value = typename Doc::Value;
    // A lean reader checks everything a whole one does and refuses the same files with the same
    // words, but keeps only what a listing needs: the notes, and each result's headline,
    // measures, details, plot and timeline, are read and dropped.
    enum class Keep { whole, lean };
    explicit Reader(const Doc& doc, Keep keep = Keep::whole) : doc_(doc), whole_(keep == Keep::whole) {}

    TestSession session(Value root);

private:
    const Doc& doc_;
    const bool whole_;
    using Member = std::optional<Value>; // absent when the object has no member of the name

    // The members of an object with the given names, each the last of its name.
    template <std::size_t N>
    std::array<Member, N> members(Value value, const char* what, const std::array<std::string_view, N>& names) const {
        const auto object = doc_.object(value);
        if (!object) throw DecodeError(std::string(what) + " is not a JSON object");
        std::array<Member, N> found{};
        for (auto it = object->begin(), end = object->end(); it != end; ++it) {
            const std::string_view key = it.key();
            for (std::size_t i = 0; i < N; ++i)
                if (key == names[i]) {
                    found[i] = it.value();
                    break;
                }
        }
        return found;
    }

    // The Json:: helpers of the reference, on a member looked up by members().
    Value required(const Member& member, const char* key) const {
        if (!member) throw DecodeError(std::string("missing \"") + key + "\"");
        return *member;
    }
    bool absentOrNull(const Member& member) const { return !member || doc_.isNull(*member); }
    std::string_view string(const Member& member, const char* key) const {
        const auto text = doc_.string(required(member, key));
        if (!text) throw DecodeError(std::string("\"") + key + "\" is not a string");
        return *text;
    }
    double toDouble(const Number& n) const {
        switch (n.kind) {
        case Number::Kind::integer: return static_cast<double>(n.integer);
        case Number::Kind::unsignedInteger: return static_cast<double>(n.unsignedInteger);
        case Number::Kind::real: break;
        }
        return n.real;
    }
    double number(const Member& member, const char* key) const {
        const auto n = doc_.number(required(member, key));
        if (!n) throw DecodeError(std::string("\"") + key + "\" is not a number");
        return toDouble(*n);
    }
    long long integer(const Member& member, const char* key) const {
        const auto n = doc_.number(required(member, key));
        if (n) switch (n->kind) {
            case Number::Kind::integer: return n->integer;
            case Number::Kind::unsignedInteger:
                // Past the signed range it would come back negative.
                if (n->unsignedInteger > static_cast<std::uint64_t>(std::numeric_limits<long long>::max()))
                    throw DecodeError(std::string("\"") + key + "\" is out of range");
                return static_cast<long long>(n->unsignedInteger);
            case Number::Kind::real:
                if (std::isfinite(n->real) && n->real == std::floor(n->real) && std::fabs(n->real) < 9.0e15)
                    return static_cast<long long>(n->real);
                break;
            }
        throw DecodeError(std::string("\"") + key + "\" is not a whole number");
    }
    std::optional<std::string> optString(const Member& member, const char* key) const {
        if (absentOrNull(member)) return std::nullopt;
        return std::string(string(member, key));
    }
    std::optional<double> optNumber(const Member& member, const char* key) const {
        if (absentOrNull(member)) return std::nullopt;
        return number(member, key);
    }
    // An optional integer from low to high (by default, any that fits an int).
    std::optional<int> optInt(const Member& member, const char* key, int low = std::numeric_limits<int>::min(),
                              int high = std::numeric_limits<int>::max()) const {
        if (absentOrNull(member)) return std::nullopt;
        const long long n = integer(member, key);
        if (n < low || n > high) throw DecodeError(std::string("\"") + key + "\" is out of range");
        return static_cast<int>(n);
    }
    template <class E> E enumValue(const Member& member, const char* key) const {
        const std::string_view text = string(member, key);
        auto result = fromRawValue<E>(text);
        if (!result) throw DecodeError(std::string("unknown value \"") + DisplayText::field(text) + "\" for \"" + key + "\"");
        return *result;
    }
    // The items of a required array member.
    auto items(const Member& member, const char* key) const {
        const auto list = doc_.array(required(member, key));
        if (!list) throw DecodeError(std::string("\"") + key + "\" is not an array");
        return *list;
    }

    DeviceInfo device(Value value);
    TestResult result(Value value);
    Measure measure(Value value);
    Limit limit(Value value);
    StickPlot plot(Value value);
    SoakStrip strip(Value value);
};

template <class Doc> DeviceInfo Reader<Doc>::device(Value value) {
    const auto m = members<11>(value, "device", {"name", "vendor", "category", "vendorID", "productID", "serial",
                                                 "transport", "batteryLevel", "batteryState", "firmwareVersion",
                                                 "guid"});
    DeviceInfo d;
    d.name = std::string(string(m[0], "name"));
    d.vendor = optString(m[1], "vendor");
    d.category = optString(m[2], "category");
    d.vendorID = optInt(m[3], "vendorID", 0, maxUsbNumber);
    d.productID = optInt(m[4], "productID", 0, maxUsbNumber);
    d.serial = optString(m[5], "serial");
    d.transport = optString(m[6], "transport");
    d.batteryLevel = optNumber(m[7], "batteryLevel");
    d.batteryState = optString(m[8], "batteryState");
    d.firmwareVersion = optInt(m[9], "firmwareVersion", 0, maxUsbNumber);
    d.guid = optString(m[10], "guid");
    return d;
}

template <class Doc> Limit Reader<Doc>::limit(Value value) {
    const auto m = members<3>(value, "limit", {"warn", "fail", "direction"});
    Limit l;
    l.warn = optNumber(m[0], "warn");
    l.fail = optNumber(m[1], "fail");
    l.direction = enumValue<Limit::Direction>(m[2], "direction");
    return l;
}

template <class Doc> Measure Reader<Doc>::measure(Value value) {
    const auto m = members<5>(value, "measure", {"id", "label", "value", "unit", "limit"});
    Measure measure;
    const std::string_view id = string(m[0], "id");
    const std::string_view label = string(m[1], "label");
    if (whole_) {
        measure.id = std::string(id);
        measure.label = std::string(label);
    }
    measure.value = number(m[2], "value");
    measure.unit = enumValue<MeasureUnit>(m[3], "unit");
    if (!absentOrNull(m[4])) measure.limit = limit(*m[4]);
    return measure;
}

template <class Doc> StickPlot Reader<Doc>::plot(Value value) {
    const auto m = members<3>(value, "plot", {"gate", "scale", "radii"});
    StickPlot p;
    p.gate = enumValue<GateShape>(m[0], "gate");
    p.scale = number(m[1], "scale");
    for (Value item : items(m[2], "radii")) {
        if (doc_.isNull(item)) {
            if (whole_) p.radii.push_back(std::nullopt);
            continue;
        }
        const auto n = doc_.number(item);
        if (!n) throw DecodeError("a plot radius is neither a number nor null");
        if (whole_) p.radii.push_back(toDouble(*n));
    }
    return p;
}

template <class Doc> SoakStrip Reader<Doc>::strip(Value value) {
    const auto m = members<2>(value, "soak strip", {"seconds", "bins"});
    SoakStrip s;
    s.seconds = number(m[0], "seconds");
    for (Value item : items(m[1], "bins")) {
        const auto text = doc_.string(item);
        const auto state = text ? fromRawValue<SoakStrip::State>(*text) : std::nullopt;
        if (!state)
            throw DecodeError(text ? "unknown soak strip bin \"" + DisplayText::field(*text) + "\""
                                   : std::string("a soak strip bin is not a string"));
        if (whole_) s.bins.push_back(*state);
    }
    return s;
}

template <class Doc> TestResult Reader<Doc>::result(Value value) {
    const auto m = members<11>(value, "result", {"id", "kind", "element", "source", "verdict", "headline", "measures",
                                                 "details", "plot", "timeline", "date"});
    TestResult r;
    const auto id = Uuid::parse(string(m[0], "id"));
    if (!id) throw DecodeError("\"id\" of a result is not a UUID");
    r.id = *id;
    r.kind = enumValue<TestKind>(m[1], "kind");
    r.element = std::string(string(m[2], "element"));
    r.source = enumValue<ValueSource>(m[3], "source");
    r.verdict = enumValue<Verdict>(m[4], "verdict");
    const std::string_view headline = string(m[5], "headline");
    if (whole_) r.headline = std::string(headline);
    for (Value item : items(m[6], "measures")) {
        Measure read = measure(item);
        if (whole_) r.measures.push_back(std::move(read));
    }
    for (Value item : items(m[7], "details")) {
        const auto line = doc_.string(item);
        if (!line) throw DecodeError("a detail line is not a string");
        if (whole_) r.details.emplace_back(*line);
    }
    if (!absentOrNull(m[8])) {
        StickPlot read = plot(*m[8]);
        if (whole_) r.plot = std::move(read);
    }
    if (!absentOrNull(m[9])) {
        SoakStrip read = strip(*m[9]);
        if (whole_) r.timeline = std::move(read);
    }
    const auto date = Dates::parseIso(string(m[10], "date"));
    if (!date) throw DecodeError("\"date\" of a result is not an ISO 8601 date to the second");
    r.date = *date;
    return r;
}

template <class Doc> TestSession Reader<Doc>::session(Value root) {
    const auto m = members<12>(root, "session", {"version", "id", "date", "unit", "label", "technician", "ticket", "notes",
                                                 "device", "results", "appVersion", "profile"});
    TestSession s;
    if (!absentOrNull(m[0])) {
        const long long version = integer(m[0], "version");
        if (version < std::numeric_limits<int>::min() || version > std::numeric_limits<int>::max())
            throw DecodeError("\"version\" is out of range");
        s.version = static_cast<int>(version);
    }
    const auto id = Uuid::parse(string(m[1], "id"));
    if (!id) throw DecodeError("\"id\" is not a UUID");
    s.id = *id;
    const auto date = Dates::parseIso(string(m[2], "date"));
    if (!date) throw DecodeError("\"date\" is not an ISO 8601 date to the second");
    s.date = *date;
    s.unit = optString(m[3], "unit").value_or("");
    s.label = optString(m[4], "label").value_or("");
    s.technician = optString(m[5], "technician").value_or("");
    s.ticket = optString(m[6], "ticket").value_or("");
    if (whole_) s.notes = optString(m[7], "notes").value_or("");
    else if (!absentOrNull(m[7])) string(m[7], "notes");
    s.device = device(required(m[8], "device"));
    if (!absentOrNull(m[9]))
        for (Value item : items(m[9], "results")) s.results.push_back(result(item));
    s.appVersion = optString(m[10], "appVersion");
    s.profile = optString(m[11], "profile");
    return s;
}

} // namespace RorozErurEvo::SessionRecord
