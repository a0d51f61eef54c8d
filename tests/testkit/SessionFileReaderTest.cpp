// The session file reader against the reference reading (the document, then
// TestSession::fromJson): the same session, or the same refusal in the same words, on every
// file the tests make, on every change to a rich file, and on texts at the edges of JSON. Both
// of the reader's ways are held to it: simdjson for session-sized files and the lean token
// reading for larger ones and for whatever simdjson does not take.
#include "testkit/SessionFileReader.h"

#include <gtest/gtest.h>

#include "SessionSamples.h"
#include "bench/RealisticSession.h"
#include "testkit/SessionTokens.h"

using namespace RorozErurEvo;
using namespace RorozErurEvo::Samples;

namespace {

struct Outcome {
    std::optional<TestSession> session;
    std::string error; // the DecodeError's words
    friend bool operator==(const Outcome&, const Outcome&) = default;
};

template <class F> Outcome outcome(F read) {
    try {
        return {read(), {}};
    } catch (const DecodeError& error) {
        return {std::nullopt, error.what()};
    }
}

Outcome reference(const std::string& text) {
    return outcome([&] { return TestSession::fromJson(Json::parse(text)); });
}
Outcome reader(const std::string& text) {
    return outcome([&] { return readSessionFile(text); });
}
// The reading of a text handed over whole (as the session folder reads its files): a large file
// mostly of texts goes to simdjson, its text let go once parsed.
Outcome owned(const std::string& text) {
    return outcome([&] { return readSessionFile(std::string(text)); });
}
Outcome lean(const std::string& text) {
    return outcome([&] {
        const SessionTokens tokens(text);
        return SessionRecord::Reader<SessionTokens>(tokens).session(tokens.root());
    });
}

// The summary read straight from the text, or the reference's summary of the whole session:
// the same summary, or the same refusal, so a listing passes over exactly the files it did.
struct SummaryOutcome {
    std::optional<SessionSummary> summary;
    std::string error;
    friend bool operator==(const SummaryOutcome&, const SummaryOutcome&) = default;
};
SummaryOutcome summarised(const std::string& text) {
    try {
        return {readSessionSummary(text), {}};
    } catch (const DecodeError& error) {
        return {std::nullopt, error.what()};
    }
}
SummaryOutcome summaryOf(const Outcome& whole) {
    return {whole.session ? std::optional(SessionSummary::of(*whole.session)) : std::nullopt, whole.error};
}

// Holds both ways of the reader, and the summary, to the reference; whether the reference took the text.
bool expectAgree(const std::string& text) {
    const Outcome expected = reference(text);
    const std::string shown = text.size() > 600 ? text.substr(0, 600) + "…" : text;
    EXPECT_EQ(reader(text), expected) << shown << "\nreference: " << expected.error << "\nreader: " << reader(text).error;
    EXPECT_EQ(lean(text), expected) << shown << "\nreference: " << expected.error << "\nlean: " << lean(text).error;
    EXPECT_EQ(owned(text), expected) << shown << "\nreference: " << expected.error << "\nowned: " << owned(text).error;
    EXPECT_EQ(summarised(text), summaryOf(expected))
        << shown << "\nreference: " << expected.error << "\nsummary: " << summarised(text).error;
    return expected.session.has_value();
}

json richSession() {
    auto s = session("U1", "2026-03-01T09:00:00Z",
                     {result(TestKind::drift, "Left stick", Verdict::warn,
                             {percent("offset", 0.05), Measure{"n", "Noise", 3, MeasureUnit::count, std::nullopt},
                              Measure{"b", "Below", 0.5, MeasureUnit::percent, Limit{std::nullopt, 0.4, Limit::Direction::below}}})});
    auto& r = s.results[0];
    r.details = {"one", "two"};
    r.plot = StickPlot{GateShape::octagonN64, 0.9, {0.5, std::nullopt, 1}};
    r.timeline = SoakStrip{600, {SoakStrip::State::ok, SoakStrip::State::gap}};
    s.results.push_back(result(TestKind::hold, "", Verdict::pass));
    s.device = DeviceInfo{"Pad", "Maker", "Gamepad", 0x054C, 0x0CE6, "SN", "USB", 0.5, "charging"};
    s.appVersion = "1.0";
    s.profile = "Your thresholds";
    s.version = 2;
    return s.toJson();
}

// Every place in the document, as a JSON pointer.
void collectPointers(const json& value, const json::json_pointer& at, std::vector<json::json_pointer>& out) {
    if (value.is_object())
        for (auto& [key, item] : value.items()) {
            out.push_back(at / key);
            collectPointers(item, at / key, out);
        }
    else if (value.is_array())
        for (std::size_t i = 0; i < value.size(); ++i) {
            out.push_back(at / i);
            collectPointers(value[i], at / i, out);
        }
}

// The document as text with one member written twice: `earlier` first, then the member's own
// value. A document cannot hold such a file, so it is written out by hand.
std::string withEarlierDuplicate(const json& value, const json::json_pointer& at, const json& earlier,
                                 const json::json_pointer& here = json::json_pointer()) {
    if (value.is_array()) {
        std::string text = "[";
        for (std::size_t i = 0; i < value.size(); ++i)
            text += (i ? "," : "") + withEarlierDuplicate(value[i], at, earlier, here / i);
        return text + "]";
    }
    if (!value.is_object()) return value.dump();
    std::string text = "{";
    bool first = true;
    for (auto& [key, item] : value.items()) {
        if (!first) text += ",";
        first = false;
        if (here / key == at) text += json(key).dump() + ":" + earlier.dump() + ",";
        text += json(key).dump() + ":" + withEarlierDuplicate(item, at, earlier, here / key);
    }
    return text + "}";
}

// The text with the first occurrence of `from` replaced by `to`.
std::string replaced(std::string text, const std::string& from, const std::string& to) {
    const auto at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

} // namespace

TEST(SessionFileReader, ReadsEveryFileTheTestsWriteAsTheReferenceDoes) {
    std::vector<TestSession> sessions{session("U", "2026-03-01T09:00:00Z"),
                                      session("", "2024-01-01T00:00:00Z", {result(TestKind::hold, "", Verdict::pass)}),
                                      TestSession::fromJson(richSession())};
    for (int n = 0; n < 20; ++n) sessions.push_back(RealisticSession::make(n));
    sessions.back().device = DeviceInfo{"Ünïcødé pad \u2014 \U0001F3AE", std::nullopt, std::nullopt, std::nullopt, 0xFFFF,
                                        "a/b\\c\"d\te", std::nullopt, std::nullopt, std::nullopt};
    sessions[0].device.firmwareVersion = 0x0408;
    sessions[0].device.guid = "03000000de280000ff11000001000000";
    for (const auto& s : sessions) {
        for (const std::string& text : {SessionCoder::encode(s), s.toJson().dump()}) {
            EXPECT_TRUE(expectAgree(text));
            EXPECT_EQ(readSessionFile(text), s);
        }
    }
}

TEST(SessionFileReader, AMemberWrittenTwiceCountsOnlyTheSecondTimeInEveryReading) {
    // Whatever the first of two equal names holds (a value that would not read, or one that
    // would), the second decides, as in the document.
    const json original = richSession();
    std::vector<json::json_pointer> pointers;
    collectPointers(original, json::json_pointer(), pointers);
    const std::vector<json> earlier{nullptr, 5, "x", "2026-03-01T09:00:00.5Z", json::array({1}),
                                    json::object({{"name", 1}}), json::parse(R"([{"id": 1}])")};
    int members = 0;
    for (const auto& pointer : pointers) {
        if (!original[pointer.parent_pointer()].is_object()) continue;
        ++members;
        for (const auto& first : earlier) EXPECT_TRUE(expectAgree(withEarlierDuplicate(original, pointer, first)));
    }
    EXPECT_GT(members, 40);
}

TEST(SessionFileReader, AgreesWithTheReferenceOnEveryChangeToAFile) {
    const json original = richSession();
    ASSERT_TRUE(expectAgree(original.dump()));

    std::vector<json::json_pointer> pointers;
    collectPointers(original, json::json_pointer(), pointers);
    const std::vector<json> replacements{nullptr, 5, -1, 2.5, 3.0, 1e20, json(18446744073709551615ull), true, "x",
                                         json::array(), json::object(), "2026-03-01T09:00:00Z",
                                         "2026-03-01T09:00:00.5Z", Uuid::random().text(), "round", "above", "pass",
                                         "drift", "processed", "ok", "percent", 4294967296.0, -2147483649.0};
    int variants = 0, accepted = 0;
    auto check = [&](const std::string& text) {
        accepted += expectAgree(text);
        ++variants;
    };
    for (const auto& pointer : pointers) {
        json removed = original;
        json& parent = removed[pointer.parent_pointer()];
        if (parent.is_object())
            parent.erase(pointer.back());
        else
            parent.erase(std::stoul(pointer.back()));
        check(removed.dump());
        for (const auto& replacement : replacements) {
            json changed = original;
            changed[pointer] = replacement;
            check(changed.dump());
        }
        json extra = original;
        if (extra[pointer].is_object()) {
            extra[pointer]["unknownMember"] = json::parse("[{\"a\": [1, {\"b\": null}]}, 2]");
            check(extra.dump());
        }
    }
    EXPECT_GT(variants, 1000);
    EXPECT_GT(accepted, 100); // the changes include many a file still reads

    // Two faults in one file: the reference's order of reading decides which one is named.
    check(replaced(replaced(original.dump(), "\"gate\":\"octagonN64\"", "\"gate\":1"), "\"name\":\"Pad\"", "\"name\":2"));
    check(replaced(replaced(original.dump(), "\"kind\":\"drift\"", "\"kind\":\"odd\""), "\"date\":\"2026", "\"date\":\"x2026"));
}

TEST(SessionFileReader, AgreesOnTextsAtTheEdgesOfJson) {
    const std::string good = richSession().dump();
    int accepted = 0;
    // Numbers: beyond 64-bit integers, negative zero, underflow, overflow and malformed forms.
    for (const char* number : {"100000000000000000000", "-9223372036854775809", "18446744073709551615",
                               "9223372036854775808", "-0", "-0.0", "1e-400", "1E2", "0.1e1", "5e-324", "1e400", "01",
                               "1.", ".5", "+1", "NaN", "Infinity", "-", "0x10", "1e", "2.5e+1"})
        accepted += expectAgree(replaced(good, "\"scale\":0.9", std::string("\"scale\":") + number));
    // Strings: escapes, surrogates, control characters and bytes that are not UTF-8.
    for (const char* name : {"\\u00e9\\ud83d\\ude00", "\\ud800", "\\udc00", "\\ud800\\u0041", "a\\u0000b", "\\/",
                             "tab\there", "\\x", "\xff", "\xc0\xaf", "\xed\xa0\x80", "\xf4\x90\x80\x80", "caf\xc3\xa9",
                             "\\uDBFF\\uDFFF", "\\u12"})
        accepted += expectAgree(replaced(good, "\"name\":\"Pad\"", std::string("\"name\":\"") + name + "\""));
    // Around the document: a byte-order mark, white space, trailing text, a NUL byte, comments.
    for (const std::string& text :
         {"\xEF\xBB\xBF" + good, " \t\r\n" + good + "\n ", good + " {}", good + "x", good + std::string(1, '\0'),
          "/* c */" + good, good.substr(0, good.size() - 1), std::string(), std::string("null"), std::string("[]"),
          std::string("\"session\""), good + good})
        accepted += expectAgree(text);
    EXPECT_GT(accepted, 10);
}

TEST(SessionFileReader, ALargeFileTakesTheLeanWayToTheSameSession) {
    // More than a megabyte of unknown member: read by the token reading, not simdjson.
    const json original = richSession();
    std::string padding(1 << 20, 'x');
    json padded = original;
    padded["padding"] = padding;
    EXPECT_TRUE(expectAgree(padded.dump()));
    padded["device"]["name"] = 7;
    EXPECT_FALSE(expectAgree(padded.dump()));
}

TEST(SessionFileReader, ALargeFileMostlyOfTextsHandedOverReadsTheSameWhicheverWayItGoes) {
    // Megabytes of notes with escapes, line breaks and letters beyond ASCII: simdjson's way.
    json notes = richSession();
    std::string text;
    while (text.size() < (3u << 20)) text += "Left stick drifts \"a little\" \u00e9 / \\ \t after repair;\n";
    notes["notes"] = text;
    EXPECT_TRUE(expectAgree(notes.dump(2)));
    notes["notes"] = 7;
    EXPECT_FALSE(expectAgree(notes.dump()));
    // What simdjson does not take (a number past 64 bits) goes the lean way, to its words.
    notes["notes"] = text;
    std::string past = notes.dump();
    past.insert(past.size() - 1, ",\"big\":18446744073709551616");
    EXPECT_TRUE(expectAgree(past));
    notes["device"]["name"] = 7;
    past = notes.dump();
    past.insert(past.size() - 1, ",\"big\":18446744073709551616");
    EXPECT_FALSE(expectAgree(past));
    // Dense with tokens: the lean way, whatever its size.
    json dense = richSession();
    dense["padding"] = std::vector<int>(600000, 0);
    EXPECT_TRUE(expectAgree(dense.dump()));
}

TEST(SessionFileReader, RefusesNestingDeeperThanAnySession) {
    const std::string good = richSession().dump();
    // Nesting far deeper than any session, even under an unknown member, is refused; 32 levels
    // are read.
    auto nested = [&](int levels) {
        return good.substr(0, good.size() - 1) + ",\"extra\":" + std::string(static_cast<std::size_t>(levels - 1), '[') +
               std::string(static_cast<std::size_t>(levels - 1), ']') + "}";
    };
    EXPECT_NO_THROW(readSessionFile(nested(32)));
    for (int levels : {33, 200000}) {
        try {
            readSessionFile(nested(levels));
            ADD_FAILURE() << levels << " levels were read";
        } catch (const DecodeError& error) {
            EXPECT_STREQ(error.what(), "the file nests deeper than 32 levels");
        }
    }
}

TEST(SessionFileReader, WholeNumbersPastTheirTypeAreRefusedByBothReadersNotWrapped) {
    // Each of these once read as a small number: -1, 5, 0.
    for (const auto& [pointer, number] : {std::pair{"/device/vendorID", "18446744073709551615"},
                                          std::pair{"/version", "4294967301"},
                                          std::pair{"/device/productID", "9223372036854775808"}}) {
        json changed = richSession();
        changed[json::json_pointer(pointer)] = 0;
        std::string text = changed.dump();
        const std::string key = "\"" + json::json_pointer(pointer).back() + "\":0";
        ASSERT_NE(text.find(key), std::string::npos) << key;
        text.replace(text.find(key), key.size(), key.substr(0, key.size() - 1) + number);
        EXPECT_FALSE(expectAgree(text)) << pointer;
    }
}

TEST(SessionFileReader, AnIdOrFirmwareVersionOutsideSixteenBitsIsRefusedByNameInEveryReading) {
    // -1 once showed as "FFFFFFFF" in the device's lines and its "VID … · PID …" text.
    for (const char* member : {"vendorID", "productID", "firmwareVersion"}) {
        for (long long number : {-1LL, 0x10000LL, 2147483647LL}) {
            json changed = richSession();
            changed["device"][member] = number;
            const std::string text = changed.dump();
            EXPECT_EQ(reference(text).error, "\"" + std::string(member) + "\" is out of range") << member << number;
            EXPECT_FALSE(expectAgree(text)) << member << number;
        }
        for (long long number : {0LL, 0xFFFFLL}) {
            json changed = richSession();
            changed["device"][member] = number;
            EXPECT_TRUE(expectAgree(changed.dump())) << member << number;
        }
    }
}

TEST(SessionFileReader, ARefusalQuotesAnUnknownValueOfMegabytesCut) {
    // The message is shown in the history's list of files that could not be read.
    for (const char* pointer : {"/results/0/kind", "/results/0/timeline/bins/0"}) {
        json changed = richSession();
        changed[json::json_pointer(pointer)] = std::string(4u << 20, 'k');
        const std::string text = changed.dump();
        EXPECT_FALSE(expectAgree(text)) << pointer;
        EXPECT_LT(reference(text).error.size(), 250u) << pointer;
    }
}

TEST(SessionFileReader, RefusesWhatIsNotOneJsonObject) {
    const json rich = richSession();
    std::string good = rich.dump();
    for (const std::string& bad : {std::string(), std::string("   "), std::string("null"), std::string("[]"),
                                   good + " {}", good.substr(0, good.size() - 1), std::string("{\"id\":1e999}")})
        EXPECT_THROW(readSessionFile(bad), DecodeError) << bad;
    // Nesting far deeper than any session, even under an unknown member, is refused.
    std::string deep = good.substr(0, good.size() - 1) + ",\"extra\":" + std::string(200000, '[') +
                       std::string(200000, ']') + "}";
    EXPECT_THROW(readSessionFile(deep), DecodeError);
}
