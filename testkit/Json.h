#pragma once
// JSON conventions shared by every persisted record.
//  - Writing: Json::dump gives text indented by 2 with keys in byte order; a number that is
//    not finite anywhere in the document is an EncodingError (nlohmann would write null).
//  - Reading: a record's `static T fromJson(const nlohmann::json&)` throws DecodeError on a
//    document it cannot read. The helpers below check types instead of trusting the input.
#include <nlohmann/json.hpp>

#include <concepts>
#include <limits>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "testkit/DisplayText.h"
#include "testkit/Enum.h"

namespace RorozErurEvo {

using json = nlohmann::json;

struct DecodeError : std::runtime_error {
    using std::runtime_error::runtime_error;
};
struct EncodingError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

namespace Json {

// Throws EncodingError when the document holds a NaN or an infinity.
void requireFinite(const json& document);
// requireFinite, then the text with an indent of 2.
std::string dump(const json& document);
// Parses text; throws DecodeError (never nlohmann's own exceptions) on malformed input.
json parse(std::string_view text);

// Required members: throw DecodeError when missing or of the wrong type.
const json& member(const json& object, const char* key);
std::string string(const json& object, const char* key);
double number(const json& object, const char* key);
long long integer(const json& object, const char* key);
// integer(), refused with DecodeError ("… is out of range") unless low ≤ value ≤ high.
long long integer(const json& object, const char* key, long long low, long long high);
// A whole number that fits T, never narrowed into it.
template <std::integral T> T integerIn(const json& object, const char* key) {
    return static_cast<T>(integer(object, key, std::numeric_limits<T>::min(), std::numeric_limits<T>::max()));
}
bool boolean(const json& object, const char* key);
// Optional members: missing or null → nullopt; present with the wrong type → DecodeError.
std::optional<std::string> optString(const json& object, const char* key);
std::optional<double> optNumber(const json& object, const char* key);
std::optional<long long> optInteger(const json& object, const char* key);
template <std::integral T> std::optional<T> optIntegerIn(const json& object, const char* key) {
    if (!optInteger(object, key)) return std::nullopt;
    return integerIn<T>(object, key);
}
void requireObject(const json& value, const char* what);

template <class E> E enumValue(const json& object, const char* key) {
    auto text = string(object, key);
    auto value = fromRawValue<E>(text);
    // The message quotes the file, cut: it is shown to the user.
    if (!value) throw DecodeError(std::string("unknown value \"") + DisplayText::field(text) + "\" for \"" + key + "\"");
    return *value;
}

} // namespace Json
} // namespace RorozErurEvo
