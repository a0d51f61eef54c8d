#include "testkit/KeyboardResult.h"

#include <algorithm>
#include <charconv>

#include "testkit/ButtonTest.h"
#include "testkit/Fmt.h"
#include "testkit/NameList.h"

namespace RorozErurEvo::KeyboardResult {

namespace {
std::string number(std::size_t value) { return Fmt::trim(static_cast<double>(value), 0); }

std::string joined(const std::vector<std::string>& parts) {
    std::string text;
    for (const std::string& part : parts) text += (text.empty() ? "" : ", ") + part;
    return text;
}

// Why the board's optional keys nobody pressed are not required.
std::string unpressedLine(KeyboardBoard board, const std::vector<KeySpec>& unpressed) {
    std::vector<std::string> names;
    std::size_t kept = 0;
    for (const auto& spec : unpressed) {
        names.push_back(spec.name);
        kept += KeyboardLayout::keptByDesktop(spec.code);
    }
    const std::string them = unpressed.size() == 1 ? "it" : "them";
    const std::string lacks = "many a " + phrase(board) + " lacks " + them;
    const std::string why = kept == 0                   ? lacks
                            : kept == unpressed.size() ? "the desktop often keeps " + them
                                                       : lacks + " or the desktop keeps " + them;
    return "Not pressed and not required, as " + why + ": " + joined(names) + ".";
}

std::string headline(const ButtonTest::Report& report, KeyboardBoard board, const KeyCount& count) {
    const std::string required = number(static_cast<std::size_t>(count.required));
    const std::string optional = count.optional > 0 ? " + " + number(static_cast<std::size_t>(count.optional)) + " optional" : "";
    const std::string ofBoard = " keys of the " + phrase(board);
    std::string text = report.missing.empty()
                           ? "all " + required + ofBoard + " OK" + optional
                           : NameList::firstOf(report.missing, namedInHeadline) + " not registered, " +
                                 number(static_cast<std::size_t>(count.tested)) + " of " + required + ofBoard + optional;
    return text + ButtonTest::chatterText(report);
}
} // namespace

std::string inputName(int code) { return "key-" + std::to_string(code); }

std::optional<int> keyCode(const std::string& input) {
    static constexpr std::string_view prefix = "key-";
    if (input.size() <= prefix.size() || input.compare(0, prefix.size(), prefix) != 0) return std::nullopt;
    const char* first = input.data() + prefix.size();
    const char* last = input.data() + input.size();
    int code = 0;
    auto [end, error] = std::from_chars(first, last, code);
    if (error != std::errc() || end != last) return std::nullopt;
    return code;
}

KeyCount count(const KeyboardLayout& layout, KeyboardBoard board, const std::set<int>& tested) {
    KeyCount count;
    for (const KeySpec& key : layout.keys(board)) {
        const bool pressed = tested.contains(key.code);
        if (KeyboardLayout::optional(board, key.code)) {
            count.optional += pressed;
            continue;
        }
        count.required += 1;
        count.tested += pressed;
    }
    return count;
}

std::vector<OtherKey> otherKeys(const KeyboardLayout& layout, KeyboardBoard board, const std::vector<ButtonEvent>& events) {
    std::set<int> drawn;
    for (const KeySpec& key : layout.keys(board)) drawn.insert(key.code);
    std::vector<OtherKey> keys;
    for (const ButtonEvent& event : events) {
        auto code = event.down ? keyCode(event.input) : std::nullopt;
        if (!code || drawn.contains(*code)) continue;
        auto entry = std::find_if(keys.begin(), keys.end(), [&](const OtherKey& key) { return key.code == *code; });
        if (entry == keys.end())
            keys.push_back({*code, 1});
        else
            entry->presses += 1;
    }
    return keys;
}

std::string otherKeysText(const KeyboardLayout& layout, const std::vector<OtherKey>& keys) {
    std::vector<std::string> items;
    for (const OtherKey& key : keys) items.push_back(layout.name(key.code) + " " + std::to_string(key.presses) + "\u00D7");
    return joined(items);
}

TestResult result(const KeyboardLayout& layout, KeyboardBoard board, const Capture& capture, double chatterWindowMs,
                  Date date) {
    // The board's keys; one that many boards of its size lack counts only once pressed.
    const auto keys = layout.expected(board, capture.tested);
    std::vector<InputName> expected;
    for (const auto& spec : keys.expected) expected.push_back(InputName{inputName(spec.code), spec.name});
    const ButtonTest::Report report = ButtonTest::report(expected, capture.events, chatterWindowMs);

    std::vector<Measure> measures = ButtonTest::measures(report);
    measures.push_back(Measure{"rollover", "Most keys held at once", static_cast<double>(capture.maxRollover),
                               MeasureUnit::count, std::nullopt});
    if (capture.repeatRate)
        measures.push_back(Measure{"repeat", "Key repeat", *capture.repeatRate, MeasureUnit::hertz, std::nullopt});

    std::vector<std::string> details;
    if (!report.missing.empty()) details.push_back("Not registered: " + joined(report.missing) + ".");
    details.insert(details.end(), report.chatterDetails.begin(), report.chatterDetails.end());
    if (const auto others = otherKeys(layout, board, capture.events); !others.empty())
        details.push_back("Other keys: " + otherKeysText(layout, others) + ".");
    if (!keys.unpressed.empty()) details.push_back(unpressedLine(board, keys.unpressed));
    details.push_back("Layout: " + title(layout.kind) + ", " + phrase(board) +
                      ". Most keys registered together: " + std::to_string(capture.maxRollover) + ".");
    return TestResult(TestKind::keyboard, "", ValueSource::processed, std::nullopt,
                      headline(report, board, count(layout, board, capture.tested)), std::move(measures),
                      std::move(details), std::nullopt, std::nullopt, date);
}

} // namespace RorozErurEvo::KeyboardResult
