#include "testkit/Json.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace RorozErurEvo::Json {

void requireFinite(const json& document) {
    switch (document.type()) {
    case json::value_t::number_float:
        if (!std::isfinite(document.get<double>()))
            throw EncodingError("a number that is not finite cannot be written as JSON");
        break;
    case json::value_t::array:
    case json::value_t::object:
        for (const auto& item : document) requireFinite(item);
        break;
    default:
        break;
    }
}

std::string dump(const json& document) {
    requireFinite(document);
    return document.dump(2, ' ', false, json::error_handler_t::strict);
}

json parse(std::string_view text) {
    try {
        return json::parse(text.begin(), text.end());
    } catch (const json::exception& error) {
        throw DecodeError(error.what());
    }
}

void requireObject(const json& value, const char* what) {
    if (!value.is_object()) throw DecodeError(std::string(what) + " is not a JSON object");
}

const json& member(const json& object, const char* key) {
    if (!object.is_object()) throw DecodeError(std::string("expected an object holding \"") + key + "\"");
    auto it = object.find(key);
    if (it == object.end()) throw DecodeError(std::string("missing \"") + key + "\"");
    return *it;
}

std::string string(const json& object, const char* key) {
    const json& value = member(object, key);
    if (!value.is_string()) throw DecodeError(std::string("\"") + key + "\" is not a string");
    return value.get<std::string>();
}

double number(const json& object, const char* key) {
    const json& value = member(object, key);
    if (!value.is_number()) throw DecodeError(std::string("\"") + key + "\" is not a number");
    return value.get<double>();
}

namespace {
DecodeError outOfRange(const char* key) { return DecodeError(std::string("\"") + key + "\" is out of range"); }
} // namespace

long long integer(const json& object, const char* key) {
    const json& value = member(object, key);
    // The parser keeps every non-negative whole number unsigned; one past the signed range
    // would come back negative.
    if (value.is_number_unsigned() && value.get<std::uint64_t>() > std::numeric_limits<long long>::max())
        throw outOfRange(key);
    if (value.is_number_integer()) return value.get<long long>();
    if (value.is_number_float()) {
        double d = value.get<double>();
        if (std::isfinite(d) && d == std::floor(d) && std::fabs(d) < 9.0e15) return static_cast<long long>(d);
    }
    throw DecodeError(std::string("\"") + key + "\" is not a whole number");
}

long long integer(const json& object, const char* key, long long low, long long high) {
    const long long value = integer(object, key);
    if (value < low || value > high) throw outOfRange(key);
    return value;
}

bool boolean(const json& object, const char* key) {
    const json& value = member(object, key);
    if (!value.is_boolean()) throw DecodeError(std::string("\"") + key + "\" is not a boolean");
    return value.get<bool>();
}

std::optional<std::string> optString(const json& object, const char* key) {
    if (!object.is_object() || !object.contains(key) || object.at(key).is_null()) return std::nullopt;
    return string(object, key);
}

std::optional<double> optNumber(const json& object, const char* key) {
    if (!object.is_object() || !object.contains(key) || object.at(key).is_null()) return std::nullopt;
    return number(object, key);
}

std::optional<long long> optInteger(const json& object, const char* key) {
    if (!object.is_object() || !object.contains(key) || object.at(key).is_null()) return std::nullopt;
    return integer(object, key);
}

} // namespace RorozErurEvo::Json
