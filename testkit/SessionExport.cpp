#include "testkit/SessionExport.h"

#include <iomanip>
#include <limits>
#include <ostream>
#include <streambuf>

#include "testkit/Fmt.h"

namespace RorozErurEvo::SessionExport {

json Document::toJson() const {
    json out = json::object();
    out["format"] = format;
    out["version"] = version;
    out["app"] = app;
    if (appVersion) out["appVersion"] = *appVersion;
    out["exported"] = Dates::iso(exported);
    json list = json::array();
    for (const auto& session : sessions) list.push_back(session.toJson());
    out["sessions"] = std::move(list);
    return out;
}

Document Document::fromJson(const json& value) {
    Json::requireObject(value, "export document");
    Document document;
    document.format = Json::string(value, "format");
    long long version = Json::integer(value, "version");
    if (version < std::numeric_limits<int>::min() || version > std::numeric_limits<int>::max())
        throw DecodeError("\"version\" is out of range");
    document.version = static_cast<int>(version);
    document.app = Json::string(value, "app");
    document.appVersion = Json::optString(value, "appVersion");
    auto exported = Dates::parseIso(Json::string(value, "exported"));
    if (!exported) throw DecodeError("\"exported\" is not an ISO 8601 date to the second");
    document.exported = *exported;
    const json& sessions = Json::member(value, "sessions");
    if (!sessions.is_array()) throw DecodeError("\"sessions\" is not an array");
    for (const auto& session : sessions) document.sessions.push_back(TestSession::fromJson(session));
    return document;
}

std::string jsonText(const std::vector<TestSession>& sessions, const std::string& app,
                     const std::optional<std::string>& appVersion, Date exported) {
    Document document{std::string(format), formatVersion, app, appVersion, exported, sessions};
    return SessionCoder::write(document.toJson());
}

namespace {

// A session's JSON text as it stands inside the export document's "sessions" array, passed on to
// the sink in pieces as it is written: each line after the first indented two levels deeper, and
// every "/" escaped as the session files write it (SessionCoder::write). A line break inside a
// string is written escaped by JSON itself, so each one met here ends a line of the document; a
// "/" stands only inside a string, where "\/" reads as "/".
class NestedSession final : public std::streambuf {
public:
    explicit NestedSession(const Sink& sink) : sink_(sink) {}
    // Passes on what is gathered.
    void flush() {
        if (out_.empty()) return;
        sink_(out_);
        out_.clear();
    }

protected:
    int_type overflow(int_type c) override {
        if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
        const char one = traits_type::to_char_type(c);
        put(&one, 1);
        return c;
    }
    std::streamsize xsputn(const char* text, std::streamsize count) override {
        put(text, static_cast<std::size_t>(count));
        return count;
    }

private:
    // Pieces passed on at about this size (bytes): a session of megabytes is never held as text.
    static constexpr std::size_t pieceBytes = 64 * 1024;

    void put(const char* text, std::size_t count) {
        std::size_t from = 0;
        for (std::size_t i = 0; i < count; ++i) {
            if (text[i] != '/' && text[i] != '\n') continue;
            out_.append(text + from, i - from);
            out_ += text[i] == '/' ? "\\/" : "\n    ";
            from = i + 1;
        }
        out_.append(text + from, count - from);
        if (out_.size() >= pieceBytes) flush();
    }

    const Sink& sink_;
    std::string out_;
};

// Where the session array stands in the document's text, with no sessions.
constexpr std::string_view noSessions = "\n  \"sessions\": [";

} // namespace

JsonStream::JsonStream(Sink sink, const std::string& app, const std::optional<std::string>& appVersion, Date exported)
    : sink_(std::move(sink)) {
    const Document bare{std::string(format), formatVersion, app, appVersion, exported, {}};
    std::string text = SessionCoder::write(bare.toJson());
    // The keys before "sessions" are fixed words and texts JSON quotes, so this is the array's
    // own place; its "]" follows at once.
    const std::size_t at = text.find(noSessions);
    if (at == std::string::npos || text.compare(at + noSessions.size(), 1, "]") != 0)
        throw EncodingError("the export document has no place for its sessions");
    head_ = text.substr(0, at + noSessions.size());
    tail_ = text.substr(at + noSessions.size() + 1);
}

void JsonStream::add(const TestSession& session) {
    const json value = session.toJson();
    Json::requireFinite(value);
    sink_(first_ ? head_ + "\n    " : std::string(",\n    "));
    if (first_) std::string().swap(head_);
    first_ = false;
    NestedSession nested(sink_);
    std::ostream out(&nested);
    // What the sink throws comes through rather than only marking the stream bad.
    out.exceptions(std::ios::badbit);
    try {
        // As Json::dump writes it: an indent of 2, text as it is, strict about UTF-8.
        out << std::setw(2) << value;
    } catch (const json::exception&) {
        throw EncodingError("a text of the session is not valid UTF-8");
    }
    nested.flush();
}

void JsonStream::end() {
    if (first_) {
        sink_(head_ + "]" + tail_);
        return;
    }
    sink_("\n  ]" + tail_);
}

std::vector<TestSession> sessionsFromJson(std::string_view text) {
    json value = Json::parse(text);
    try {
        return Document::fromJson(value).sessions;
    } catch (const std::exception&) {
        // Not an export document: perhaps a single session file.
    }
    try {
        return {TestSession::fromJson(value)};
    } catch (const json::exception& error) {
        throw DecodeError(error.what());
    }
}

namespace {

// Short ASCII unit words for spreadsheets.
std::string unitWord(MeasureUnit unit) {
    switch (unit) {
    case MeasureUnit::percent: return "%";
    case MeasureUnit::milliseconds: return "ms";
    case MeasureUnit::hertz: return "Hz";
    case MeasureUnit::count: return "count";
    case MeasureUnit::raw: return "raw";
    case MeasureUnit::degreesPerSecond: return "deg/s";
    case MeasureUnit::g: return "g";
    case MeasureUnit::seconds: return "s";
    }
    return {};
}

// A cell a spreadsheet would run as a formula gets a quote in front, which makes it text.
std::string guarded(std::string cell) {
    if (!cell.empty() && (cell[0] == '=' || cell[0] == '+' || cell[0] == '-' || cell[0] == '@' || cell[0] == '\t' ||
                          cell[0] == '\r'))
        cell.insert(cell.begin(), '\'');
    return cell;
}

// A cell as CSV writes it, passed on in pieces: quoted, with its quotes doubled, when it holds a
// comma, a quote or a line break. A cell of megabytes (a session's notes) is never copied.
void putCell(const Sink& sink, std::string_view cell) {
    if (cell.find_first_of(",\"\n\r") == std::string_view::npos) {
        sink(cell);
        return;
    }
    sink("\"");
    for (std::size_t quote; (quote = cell.find('"')) != std::string_view::npos; cell.remove_prefix(quote + 1)) {
        sink(cell.substr(0, quote + 1));
        sink("\"");
    }
    sink(cell);
    sink("\"");
}

void putLine(const Sink& sink, const std::vector<std::string>& cells) {
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (i > 0) sink(",");
        putCell(sink, cells[i]);
    }
    sink("\r\n");
}

std::string hexId(const std::optional<int>& id) { return id ? usbIdHex(*id) : std::string(); }

std::vector<std::string> sessionCells(const TestSession& s) {
    return {s.id.text(),
            Dates::iso(s.date),
            guarded(s.unitKey()),
            guarded(s.label),
            guarded(s.ticket),
            guarded(s.technician),
            guarded(s.device.name),
            hexId(s.device.vendorID),
            hexId(s.device.productID),
            guarded(s.device.serial.value_or("")),
            guarded(s.device.transport.value_or("")),
            word(s.verdict())};
}

void appendResultCells(std::vector<std::string>& cells, const TestResult& r, const std::string& notes) {
    cells.push_back(title(r.kind));
    cells.push_back(guarded(r.element));
    cells.push_back(rawValue(r.source));
    cells.push_back(word(r.verdict));
    cells.push_back(guarded(r.headline));
    auto main = r.mainMeasure();
    if (main) {
        cells.push_back(guarded(main->label));
        // More digits than the display and no unit, so spreadsheets read a number.
        cells.push_back(Fmt::trim(main->unit == MeasureUnit::percent ? main->value * 100 : main->value, 4));
        cells.push_back(unitWord(main->unit));
        cells.push_back(guarded(main->limit ? main->limit->text(main->unit) : std::string()));
    } else {
        cells.insert(cells.end(), 4, std::string());
    }
    std::string all;
    for (std::size_t i = 0; i < r.measures.size(); ++i) {
        if (i > 0) all += "; ";
        all += r.measures[i].label + ": " + r.measures[i].display();
    }
    cells.push_back(guarded(all));
    cells.push_back(guarded(notes));
}

} // namespace

CsvStream::CsvStream(Sink sink) : sink_(std::move(sink)) {
    std::string header;
    for (std::size_t i = 0; i < csvColumns.size(); ++i) {
        if (i > 0) header += ',';
        header += csvColumns[i];
    }
    header += "\r\n";
    sink_(header);
}

void CsvStream::add(const TestSession& session) {
    auto results = session.sortedResults();
    if (results.empty()) {
        auto cells = sessionCells(session);
        cells.insert(cells.end(), 10, std::string());
        cells.push_back(guarded(session.notes));
        putLine(sink_, cells);
    }
    for (const auto& result : results) {
        auto cells = sessionCells(session);
        appendResultCells(cells, result, session.notes);
        putLine(sink_, cells);
    }
}

std::string csv(const std::vector<TestSession>& sessions) {
    std::string text;
    CsvStream stream([&text](std::string_view piece) { text += piece; });
    for (const auto& session : sessions) stream.add(session);
    return text;
}

} // namespace RorozErurEvo::SessionExport
