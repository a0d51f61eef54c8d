#include "testkit/SessionFileReader.h"

#include <gtest/gtest.h>

#include <functional>

#include "SessionSamples.h"

using namespace RorozErurEvo;
using namespace RorozErurEvo::Samples;

namespace {

// The reference reading: build the document, then read the record from it.
std::optional<TestSession> viaDocument(const std::string& text) {
    try {
        return TestSession::fromJson(Json::parse(text));
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

std::optional<TestSession> streamed(const std::string& text) {
    try {
        return readSessionFile(text);
    } catch (const DecodeError&) {
        return std::nullopt;
    }
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

} // namespace

TEST(SessionFileReader, AMemberWrittenTwiceCountsOnlyTheSecondTimeInBothReaders) {
    // Whatever the first of two equal names holds (a value that would not read, or one that
    // would), the second decides: a file the document reader accepts is never refused, and the
    // two readers give the same session.
    const json original = richSession();
    std::vector<json::json_pointer> pointers;
    collectPointers(original, json::json_pointer(), pointers);
    const std::vector<json> earlier{nullptr, 5, "x", "2026-03-01T09:00:00.5Z", json::array({1}),
                                    json::object({{"name", 1}}), json::parse(R"([{"id": 1}])")};
    int members = 0;
    for (const auto& pointer : pointers) {
        if (!original[pointer.parent_pointer()].is_object()) continue;
        ++members;
        for (const auto& first : earlier) {
            const std::string text = withEarlierDuplicate(original, pointer, first);
            EXPECT_EQ(streamed(text), viaDocument(text)) << text;
            EXPECT_TRUE(streamed(text)) << text;
        }
    }
    EXPECT_GT(members, 40);
}

TEST(SessionFileReader, AgreesWithTheDocumentReaderOnEveryChangeToAFile) {
    const json original = richSession();
    ASSERT_EQ(streamed(original.dump()), viaDocument(original.dump()));
    ASSERT_TRUE(streamed(original.dump()));

    std::vector<json::json_pointer> pointers;
    collectPointers(original, json::json_pointer(), pointers);
    const std::vector<json> replacements{nullptr, 5, -1, 2.5, 3.0, 1e20, json(18446744073709551615ull), true, "x",
                                         json::array(), json::object(), "2026-03-01T09:00:00Z",
                                         "2026-03-01T09:00:00.5Z", Uuid::random().text(), "round", "above", "pass",
                                         "drift", "processed", "ok", "percent"};
    int variants = 0, accepted = 0;
    auto check = [&](const std::string& text) {
        auto expected = viaDocument(text);
        EXPECT_EQ(streamed(text), expected) << text;
        ++variants;
        accepted += expected.has_value();
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

    // A member written twice: the later one counts, in both readers.
    std::string text = original.dump();
    for (const char* duplicate : {",\"results\":null}", ",\"unit\":\"U2\"}", ",\"device\":{\"name\":\"Other\"}}",
                                  ",\"version\":null}", ",\"date\":\"bad\"}"})
        check(text.substr(0, text.size() - 1) + duplicate);
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
