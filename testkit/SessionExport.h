#pragma once
// Sessions handed to other tools: one JSON document carrying them whole, or a CSV table with
// one row per test result for spreadsheets.
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "testkit/Date.h"
#include "testkit/Json.h"
#include "testkit/TestSession.h"

namespace RorozErurEvo::SessionExport {

inline constexpr std::string_view format = "tessarine-sessions";
inline constexpr int formatVersion = 1;
inline constexpr std::array<std::string_view, 23> csvColumns{
    "session_id", "date",       "unit",     "stage",  "ticket",          "technician", "device", "vendor_id",
    "product_id", "serial",     "connection", "session_verdict", "test", "element", "source", "verdict",
    "headline",   "measure",    "value",    "unit_of_measure", "limit", "all_measures", "notes"};

struct Document {
    std::string format;
    int version = 0;
    std::string app;
    std::optional<std::string> appVersion;
    Date exported{};
    std::vector<TestSession> sessions;

    json toJson() const;
    static Document fromJson(const json& value);

    friend bool operator==(const Document&, const Document&) = default;
};

// The export document's text. Throws EncodingError when a session holds a number that is not
// finite or text that is not UTF-8.
std::string jsonText(const std::vector<TestSession>& sessions, const std::string& app,
                     const std::optional<std::string>& appVersion, Date exported);
// The sessions of an export document, or the one session of a bare session file.
// Throws DecodeError when the text is neither.
std::vector<TestSession> sessionsFromJson(std::string_view text);

// Header line, then one line per result (one per session without results); CR LF line ends.
// Texts a user or a device typed are guarded so a spreadsheet never runs them as formulas.
std::string csv(const std::vector<TestSession>& sessions);
// Where an export streamed a session at a time goes, piece after piece.
using Sink = std::function<void(std::string_view)>;

// The export document written to `sink` a session at a time, byte for byte the text jsonText
// gives for the same sessions, while only the session being written is held (as a JSON value)
// at once: add() each session in order, then end(). add() throws EncodingError as jsonText does,
// and whatever the sink throws.
class JsonStream {
public:
    JsonStream(Sink sink, const std::string& app, const std::optional<std::string>& appVersion, Date exported);
    void add(const TestSession& session);
    void end();

private:
    Sink sink_;
    std::string head_; // the document up to its sessions; written with the first session
    std::string tail_; // the document after its sessions
    bool first_ = true;
};

// The CSV table written to `sink` a session's rows at a time, as csv() gives it: the header at
// once, then add() each session in order.
class CsvStream {
public:
    explicit CsvStream(Sink sink);
    void add(const TestSession& session);

private:
    Sink sink_;
};

} // namespace RorozErurEvo::SessionExport
