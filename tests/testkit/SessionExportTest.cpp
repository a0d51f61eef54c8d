#include "testkit/SessionExport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "SessionSamples.h"
#include "support/CsvRows.h"

using namespace RorozErurEvo;
using namespace RorozErurEvo::Samples;
namespace fs = std::filesystem;

namespace {

TestSession awkwardSession() {
    auto s = session("=cmd", "2026-03-01T09:00:00Z",
                     {result(TestKind::drift, "Left stick", Verdict::warn,
                             {percent("offset", 0.0125), Measure{"noise", "Noise", 250, MeasureUnit::milliseconds, {}}},
                             "-drift, \"slight\""),
                      result(TestKind::battery, "+", Verdict::pass, {}, "@full")});
    s.technician = "=HYPERLINK(\"x\")";
    s.notes = "line one\r\nline two, \"quoted\"";
    s.device.vendorID = 0x045E;
    s.device.transport = "\tUSB";
    return s;
}

std::vector<std::vector<std::string>> rowsOf(const std::string& csvText) { return CsvRows::parse(csvText); }

} // namespace

TEST(SessionExport, CsvCellsAreGuardedQuotedAndFormatted) {
    EXPECT_EQ(SessionExport::csv({}),
              "session_id,date,unit,stage,ticket,technician,device,vendor_id,product_id,serial,connection,"
              "session_verdict,test,element,source,verdict,headline,measure,value,unit_of_measure,limit,all_measures,"
              "notes\r\n");

    auto s = awkwardSession();
    auto empty = session("U2", "2026-03-02T09:00:00Z");
    empty.notes = "n";
    std::string text = SessionExport::csv({s, empty});
    EXPECT_NE(text.find(",\"'=HYPERLINK(\"\"x\"\")\","), std::string::npos); // guarded, then quoted
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");

    auto rows = rowsOf(text);
    ASSERT_EQ(rows.size(), 4u);
    for (const auto& row : rows) EXPECT_EQ(row.size(), 23u);
    const auto& drift = rows[1];
    EXPECT_EQ(drift[0], s.id.text());
    EXPECT_EQ(drift[1], "2026-03-01T09:00:00Z");
    EXPECT_EQ(drift[2], "'=cmd");
    EXPECT_EQ(drift[5], "'=HYPERLINK(\"x\")");
    EXPECT_EQ(drift[7], "045E");
    EXPECT_EQ(drift[8], "");
    EXPECT_EQ(drift[10], "'\tUSB");
    EXPECT_EQ(drift[11], "Warn");
    EXPECT_EQ(drift[12], "Drift at rest");
    EXPECT_EQ(drift[14], "processed");
    EXPECT_EQ(drift[16], "'-drift, \"slight\"");
    EXPECT_EQ(drift[17], "offset");
    EXPECT_EQ(drift[18], "1.25");
    EXPECT_EQ(drift[19], "%");
    EXPECT_EQ(drift[20], "warn > 4%, fail > 8%");
    EXPECT_EQ(drift[21], "offset: 1.2%; Noise: 250 ms"); // display text, one decimal
    EXPECT_EQ(drift[22], "line one\r\nline two, \"quoted\"");
    EXPECT_EQ(rows[2][13], "'+");
    EXPECT_EQ(rows[2][16], "'@full");
    EXPECT_EQ(rows[2][17], ""); // no measures, no main measure
    EXPECT_EQ(rows[3], (std::vector<std::string>{empty.id.text(), "2026-03-02T09:00:00Z", "U2", "", "", "", "Wireless Pad", "",
                                                 "", "", "", "Pass", "", "", "", "", "", "", "", "", "", "", "n"}));

    s.results = {result(TestKind::drift, "L", Verdict::pass, {Measure{"v", "V", NAN, MeasureUnit::raw, {}}})};
    EXPECT_EQ(rowsOf(SessionExport::csv({s}))[1][18], "\u2013");
}

TEST(SessionExport, SplitterHandlesQuotesBreaksAndEnds) {
    using Rows = std::vector<std::vector<std::string>>;
    EXPECT_EQ(CsvRows::parse("a,\"b,\"\"c\"\"\""), (Rows{{"a", "b,\"c\""}}));
    EXPECT_EQ(CsvRows::parse(""), Rows{});
    EXPECT_EQ(CsvRows::parse("a\r\n\nb\rc"), (Rows{{"a"}, {""}, {"b"}, {"c"}}));
    EXPECT_EQ(CsvRows::parse("a,\r\n"), (Rows{{"a", ""}}));
    EXPECT_EQ(CsvRows::parse(","), (Rows{{"", ""}}));
    EXPECT_EQ(CsvRows::parse("\"x\ny\"z"), (Rows{{"x\nyz"}}));
    EXPECT_EQ(CsvRows::parse("\"open"), (Rows{{"open"}}));
}

TEST(SessionExport, CsvReadsTheSameWithPythonsCsvModule) {
    auto other = awkwardSession();
    other.results.push_back(result(TestKind::soak, "Pad", Verdict::fail, {}, "lone\rbreak and \"quotes\""));
    auto bare = session("", "2026-03-03T09:00:00Z");
    std::string text = SessionExport::csv({awkwardSession(), other, bare});
    fs::path file = fs::temp_directory_path() / ("tessarine-export-" + Uuid::random().text() + ".csv");
    std::ofstream(file, std::ios::binary) << text;

    std::string command = "python3 -c 'import csv, json, sys; "
                          "print(json.dumps(list(csv.reader(open(sys.argv[1], newline=\"\")))))' " +
                          file.string();
    FILE* pipe = ::popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string output;
    char buffer[4096];
    while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) output.append(buffer, n);
    ASSERT_EQ(::pclose(pipe), 0) << "python3 failed";
    fs::remove(file);

    auto python = json::parse(output).get<std::vector<std::vector<std::string>>>();
    auto ours = CsvRows::parse(text);
    EXPECT_EQ(python.size(), 1u + 2 + 3 + 1);
    EXPECT_EQ(ours, python);
}

TEST(SessionExport, JsonDocumentRoundTripsAndBareSessionsAreAccepted) {
    auto s = awkwardSession();
    Date exported = at("2026-03-05T12:00:00Z");
    std::string text = SessionExport::jsonText({s}, "Tessarine", std::nullopt, exported);
    json doc = json::parse(text);
    std::vector<std::string> keys;
    for (auto& [key, value] : doc.items()) keys.push_back(key);
    EXPECT_EQ(keys, (std::vector<std::string>{"app", "exported", "format", "sessions", "version"}));
    EXPECT_EQ(doc["format"], "tessarine-sessions");
    EXPECT_EQ(doc["version"], 1);
    EXPECT_EQ(doc["exported"], "2026-03-05T12:00:00Z");
    EXPECT_EQ(SessionExport::sessionsFromJson(text), std::vector<TestSession>{s});

    EXPECT_TRUE(json::parse(SessionExport::jsonText({}, "Tessarine", "1.0", exported))["sessions"].empty());

    doc["format"] = "something-else";
    EXPECT_EQ(SessionExport::sessionsFromJson(doc.dump()), std::vector<TestSession>{s});
    EXPECT_EQ(SessionExport::sessionsFromJson(SessionCoder::encode(s)), std::vector<TestSession>{s});
    EXPECT_THROW(SessionExport::sessionsFromJson("{\"sessions\": []}"), DecodeError);
    EXPECT_THROW(SessionExport::sessionsFromJson("not json"), DecodeError);

    s.results[0].measures[0].value = INFINITY;
    EXPECT_THROW(SessionExport::jsonText({s}, "Tessarine", std::nullopt, exported), EncodingError);
}

TEST(SessionExport, StreamedASessionAtATimeTheBytesAreThoseOfTheWholeDocument) {
    // Slashes (escaped in the file's style), line breaks and quotes inside texts, letters beyond
    // ASCII, a session without results, and the app's own fields with a slash too.
    auto slashed = awkwardSession();
    slashed.notes = "a/b\n\t\"c\" / é ✓\r\n";
    slashed.results[0].element = "Left/stick";
    slashed.profile = "PlayStation/DualSense";
    const std::vector<TestSession> sessions{awkwardSession(), slashed, session("", "2026-03-03T09:00:00Z")};
    const Date exported = at("2026-03-05T12:00:00Z");
    for (std::size_t count : {0u, 1u, 3u}) {
        const std::vector<TestSession> some(sessions.begin(), sessions.begin() + static_cast<long>(count));
        for (const auto& version : {std::optional<std::string>("1.4/2"), std::optional<std::string>()}) {
            std::string json;
            std::size_t pieces = 0;
            SessionExport::JsonStream stream([&](std::string_view piece) { json += piece, ++pieces; }, "Tess/arine",
                                             version, exported);
            for (const auto& s : some) stream.add(s);
            stream.end();
            EXPECT_EQ(json, SessionExport::jsonText(some, "Tess/arine", version, exported)) << count << " sessions";
            if (count == 3) {
                EXPECT_GT(pieces, 3u) << "written as it is made, not whole";
            }
        }
        std::string csv;
        SessionExport::CsvStream rows([&](std::string_view piece) { csv += piece; });
        for (const auto& s : some) rows.add(s);
        EXPECT_EQ(csv, SessionExport::csv(some));
    }
}

TEST(SessionExport, AStreamedSessionThatCannotBeWrittenThrowsAsTheWholeDocumentDoes) {
    const Date exported = at("2026-03-05T12:00:00Z");
    std::string json;
    SessionExport::JsonStream stream([&](std::string_view piece) { json += piece; }, "Tessarine", std::nullopt, exported);
    auto infinite = awkwardSession();
    infinite.results[0].measures[0].value = INFINITY;
    EXPECT_THROW(stream.add(infinite), EncodingError);
    auto broken = awkwardSession();
    broken.device.serial = std::string("\xff\xfe");
    EXPECT_THROW(SessionExport::jsonText({broken}, "Tessarine", std::nullopt, exported), EncodingError);
    EXPECT_THROW(stream.add(broken), EncodingError);
    // What the sink throws (a full disk) comes through.
    SessionExport::JsonStream refused([](std::string_view) { throw std::runtime_error("disk full"); }, "Tessarine",
                                      std::nullopt, exported);
    EXPECT_THROW(refused.add(awkwardSession()), std::runtime_error);
}
