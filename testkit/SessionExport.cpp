#include "testkit/SessionExport.h"

#include <limits>

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

std::string quoted(const std::string& cell) {
    if (cell.find_first_of(",\"\n\r") == std::string::npos) return cell;
    std::string out = "\"";
    for (char c : cell) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
    return out;
}

void appendLine(std::string& text, const std::vector<std::string>& cells) {
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (i > 0) text += ',';
        text += quoted(cells[i]);
    }
    text += "\r\n";
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

std::string csv(const std::vector<TestSession>& sessions) {
    std::string text;
    for (std::size_t i = 0; i < csvColumns.size(); ++i) {
        if (i > 0) text += ',';
        text += csvColumns[i];
    }
    text += "\r\n";
    for (const auto& session : sessions) {
        auto results = session.sortedResults();
        if (results.empty()) {
            auto cells = sessionCells(session);
            cells.insert(cells.end(), 10, std::string());
            cells.push_back(guarded(session.notes));
            appendLine(text, cells);
        }
        for (const auto& result : results) {
            auto cells = sessionCells(session);
            appendResultCells(cells, result, session.notes);
            appendLine(text, cells);
        }
    }
    return text;
}

std::vector<std::vector<std::string>> parseCSV(std::string_view text) {
    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> row;
    std::string field;
    bool inQuotes = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (inQuotes) {
            if (c == '"') {
                if (i + 1 < text.size() && text[i + 1] == '"') {
                    field += '"';
                    ++i;
                } else {
                    inQuotes = false;
                }
            } else {
                field += c;
            }
            continue;
        }
        if (c == '"') {
            inQuotes = true;
        } else if (c == ',') {
            row.push_back(std::move(field));
            field.clear();
        } else if (c == '\n' || c == '\r') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            row.push_back(std::move(field));
            field.clear();
            rows.push_back(std::move(row));
            row.clear();
        } else {
            field += c;
        }
    }
    if (!field.empty() || !row.empty()) {
        row.push_back(std::move(field));
        rows.push_back(std::move(row));
    }
    return rows;
}

} // namespace RorozErurEvo::SessionExport
