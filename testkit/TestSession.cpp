#include "testkit/TestSession.h"

#include <algorithm>
#include <map>
#include <string_view>

#include "testkit/SessionFacts.h"
#include "testkit/SessionFileReader.h"

namespace RorozErurEvo {

namespace {

// Length of the white-space character (ASCII or Unicode, UTF-8 encoded) that starts at `at`,
// 0 when there is none.
std::size_t spaceAt(std::string_view text, std::size_t at) {
    auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    unsigned char c = byte(at);
    if (c == ' ' || (c >= 0x09 && c <= 0x0D)) return 1;
    std::size_t left = text.size() - at;
    if (c == 0xC2 && left >= 2 && (byte(at + 1) == 0x85 || byte(at + 1) == 0xA0)) return 2; // NEL, NBSP
    if (c == 0xE1 && left >= 3 && byte(at + 1) == 0x9A && byte(at + 2) == 0x80) return 3;   // U+1680
    if (c == 0xE2 && left >= 3) {
        unsigned char b1 = byte(at + 1), b2 = byte(at + 2);
        if (b1 == 0x80 && ((b2 >= 0x80 && b2 <= 0x8A) || b2 == 0xA8 || b2 == 0xA9 || b2 == 0xAF)) return 3;
        if (b1 == 0x81 && b2 == 0x9F) return 3; // U+205F
    }
    if (c == 0xE3 && left >= 3 && byte(at + 1) == 0x80 && byte(at + 2) == 0x80) return 3; // U+3000
    return 0;
}

// Length of the white-space character that ends just before `end`, 0 when there is none.
std::size_t spaceBefore(std::string_view text, std::size_t end) {
    for (std::size_t length = 1; length <= 3 && length <= end; ++length)
        if (spaceAt(text, end - length) == length) return length;
    return 0;
}

std::string textOr(const json& object, const char* key) {
    return Json::optString(object, key).value_or(std::string());
}

} // namespace

std::string trimmedWhitespace(std::string_view text) {
    std::size_t begin = 0, end = text.size();
    while (begin < end) {
        std::size_t n = spaceAt(text, begin);
        if (n == 0) break;
        begin += n;
    }
    while (end > begin) {
        std::size_t n = spaceBefore(text, end);
        if (n == 0) break;
        end -= n;
    }
    return std::string(text.substr(begin, end - begin));
}

std::string TestSession::unitKey() const { return SessionFacts::unitKey(*this); }

Verdict TestSession::verdict() const { return SessionFacts::verdict(*this); }

VerdictCounts TestSession::counts() const { return SessionFacts::counts(*this); }

std::vector<std::size_t> TestSession::sortedOrder() const { return SessionFacts::sortedOrder(*this); }

std::vector<TestResult> TestSession::sortedResults() const {
    std::vector<TestResult> sorted;
    sorted.reserve(results.size());
    for (std::size_t i : sortedOrder()) sorted.push_back(results[i]);
    return sorted;
}

DeviceKind TestSession::deviceKind() const { return SessionFacts::deviceKind(*this); }

std::string TestSession::title() const { return SessionFacts::title(*this); }

std::vector<UnitIndexGroup> TestSession::byUnitIndex(const std::vector<TestSession>& sessions) {
    return SessionFacts::byUnitIndex(sessions);
}

std::vector<UnitGroup> TestSession::byUnit(const std::vector<TestSession>& sessions) {
    std::vector<UnitGroup> groups;
    for (auto& indexed : byUnitIndex(sessions)) {
        UnitGroup group{std::move(indexed.unit), {}};
        group.sessions.reserve(indexed.sessions.size());
        for (std::size_t i : indexed.sessions) group.sessions.push_back(sessions[i]);
        groups.push_back(std::move(group));
    }
    return groups;
}

json TestSession::toJson() const {
    json out = json::object();
    out["version"] = version;
    out["id"] = id.text();
    out["date"] = Dates::iso(date);
    out["unit"] = unit;
    out["label"] = label;
    out["technician"] = technician;
    out["ticket"] = ticket;
    out["notes"] = notes;
    out["device"] = device.toJson();
    json list = json::array();
    for (const auto& result : results) list.push_back(result.toJson());
    out["results"] = std::move(list);
    if (appVersion) out["appVersion"] = *appVersion;
    if (profile) out["profile"] = *profile;
    return out;
}

TestSession TestSession::fromJson(const json& value) {
    Json::requireObject(value, "session");
    TestSession session;
    session.version = Json::optIntegerIn<int>(value, "version").value_or(1);
    auto id = Uuid::parse(Json::string(value, "id"));
    if (!id) throw DecodeError("\"id\" is not a UUID");
    session.id = *id;
    auto date = Dates::parseIso(Json::string(value, "date"));
    if (!date) throw DecodeError("\"date\" is not an ISO 8601 date to the second");
    session.date = *date;
    session.unit = textOr(value, "unit");
    session.label = textOr(value, "label");
    session.technician = textOr(value, "technician");
    session.ticket = textOr(value, "ticket");
    session.notes = textOr(value, "notes");
    session.device = DeviceInfo::fromJson(Json::member(value, "device"));
    auto results = value.find("results");
    if (results != value.end() && !results->is_null()) {
        if (!results->is_array()) throw DecodeError("\"results\" is not an array");
        session.results.reserve(results->size());
        for (const auto& item : *results) session.results.push_back(TestResult::fromJson(item));
    }
    session.appVersion = Json::optString(value, "appVersion");
    session.profile = Json::optString(value, "profile");
    return session;
}

namespace SessionCoder {

std::string write(const json& document) {
    std::string text;
    try {
        text = Json::dump(document);
    } catch (const json::exception&) {
        // nlohmann refuses strings that are not valid UTF-8 (a device's serial may be any bytes).
        throw EncodingError("a text of the session is not valid UTF-8");
    }
    // A "/" can only occur inside a string in JSON text, so escaping every one of them keeps
    // the document's meaning; session files have always been written this way.
    std::size_t slashes = static_cast<std::size_t>(std::count(text.begin(), text.end(), '/'));
    if (slashes == 0) return text;
    std::string escaped;
    escaped.reserve(text.size() + slashes);
    for (char c : text) {
        if (c == '/') escaped += '\\';
        escaped += c;
    }
    return escaped;
}

std::string encode(const TestSession& session) { return write(session.toJson()); }

TestSession decode(std::string_view data) { return readSessionFile(data); }

} // namespace SessionCoder

} // namespace RorozErurEvo
