#include "app/views/testers/TesterTexts.h"

#include <algorithm>
#include <charconv>

#include "app/model/MouseTester.h"
#include "testkit/Fmt.h"
#include "testkit/Measure.h"

namespace Tessarine {

using namespace RorozErurEvo;

namespace {
QString qs(const std::string& text) { return QString::fromStdString(text); }

// The code after "key-", or none when the rest is not a whole decimal number.
std::optional<int> keyCode(const std::string& inputName) {
    static constexpr std::string_view prefix = "key-";
    if (inputName.size() <= prefix.size()) return std::nullopt;
    const char* first = inputName.data() + prefix.size();
    const char* last = inputName.data() + inputName.size();
    int code = 0;
    auto [end, error] = std::from_chars(first, last, code);
    if (error != std::errc() || end != last) return std::nullopt;
    return code;
}

QString names(const KeyboardLayout& layout, const std::set<int>& codes) {
    QStringList list;
    for (int code : codes) list << qs(layout.name(code));
    return list.join(QStringLiteral(", "));
}
} // namespace

namespace KeyboardTexts {

KeyCount count(const KeyboardLayout& layout, KeyboardBoard board, const std::set<int>& tested) {
    const auto expected = layout.expected(board, tested).expected;
    KeyCount count;
    count.total = static_cast<int>(expected.size());
    for (const KeySpec& key : expected)
        if (tested.contains(key.code)) ++count.tested;
    return count;
}

QString progress(KeyCount count) {
    return QStringLiteral("Keys tested: %1 of %2").arg(count.tested).arg(count.total);
}

std::map<std::string, InputChatter> chatter(const std::vector<ButtonEvent>& events, double windowMs) {
    auto entries = ChatterAnalysis::analyze(events, windowMs);
    std::erase_if(entries, [](const auto& entry) { return entry.second.chatters <= 0; });
    return entries;
}

std::set<int> chatterCodes(const std::map<std::string, InputChatter>& chatter) {
    std::set<int> codes;
    for (const auto& [input, entry] : chatter)
        if (auto code = keyCode(input)) codes.insert(*code);
    return codes;
}

QString held(const KeyboardLayout& layout, const std::set<int>& held) {
    if (held.empty()) return QStringLiteral("none");
    return QStringLiteral("%1: %2").arg(held.size()).arg(names(layout, held));
}

QString repeat(std::optional<double> rate, std::optional<double> delay) {
    if (!rate) return QStringLiteral("hold a key to measure");
    QString text = qs(Fmt::trim(*rate, 1)) + QStringLiteral(" per second");
    if (delay) text += QStringLiteral(", after ") + qs(Fmt::trim(*delay, 2)) + QStringLiteral(" s");
    return text;
}

QString chatterList(const KeyboardLayout& layout, const std::map<std::string, InputChatter>& chatter) {
    if (chatter.empty()) return QStringLiteral("none");
    QStringList items;
    for (const auto& [input, entry] : chatter) {
        auto code = keyCode(input);
        items << QStringLiteral("%1 %2×").arg(code ? qs(layout.name(*code)) : qs(input)).arg(entry.chatters);
    }
    return items.join(QStringLiteral(", "));
}

QString drawingValue(const KeyboardLayout& layout, KeyCount count, const std::set<int>& held) {
    QString value = QStringLiteral("%1 of %2 keys tested").arg(count.tested).arg(count.total);
    if (!held.empty()) value += QStringLiteral("; held: ") + names(layout, held);
    return value;
}

QString otherKeys(const KeyboardLayout& layout, KeyboardBoard board, const std::vector<ButtonEvent>& events) {
    std::set<int> drawn;
    for (const KeySpec& key : layout.keys(board)) drawn.insert(key.code);
    std::vector<std::pair<int, int>> presses; // code and count, in the order of first press
    for (const ButtonEvent& event : events) {
        auto code = event.down ? keyCode(event.input) : std::nullopt;
        if (!code || drawn.count(*code)) continue;
        auto entry = std::find_if(presses.begin(), presses.end(), [&](const auto& p) { return p.first == *code; });
        if (entry == presses.end())
            presses.emplace_back(*code, 1);
        else
            entry->second += 1;
    }
    if (presses.empty()) return QStringLiteral("none");
    QStringList items;
    for (const auto& [code, count] : presses) items << QStringLiteral("%1 %2×").arg(qs(layout.name(code))).arg(count);
    return items.join(QStringLiteral(", "));
}

QString boardsDescription() {
    return QStringLiteral("Compact (laptop): the main block with the function row and the arrows. Tenkeyless adds "
                          "the navigation block, Full-size the keypad.");
}

QString optionalNote(const KeyboardLayout& layout, KeyboardBoard board) {
    QStringList names;
    QStringList kept;
    for (const KeySpec& key : layout.expected(board, {}).unpressed) {
        names << qs(key.name);
        if (!KeyboardLayout::keptByDesktop(key.code)) continue;
        kept << (key.label == "Super" ? QStringLiteral("Super") : qs(key.name));
    }
    QString note = QStringLiteral("Dashed keys (%1) count once pressed and are never required: many %2s lack some of them")
                       .arg(names.join(QStringLiteral(", ")), qs(phrase(board)));
    if (!kept.isEmpty())
        note += QStringLiteral(", and the desktop often keeps %1 for itself").arg(kept.join(QStringLiteral(" and ")));
    return note + QLatin1Char('.');
}

std::string sessionName(KeyboardLayout::Kind kind) { return "Keyboard (" + title(kind) + ")"; }

} // namespace KeyboardTexts

namespace MouseTexts {

QString clicks(const std::map<int, int>& counts) {
    QStringList parts;
    for (int button = 0; button < listedButtons; ++button) {
        auto found = counts.find(button);
        parts << QStringLiteral("%1 %2").arg(qs(MouseTester::buttonName(button))).arg(found == counts.end() ? 0 : found->second);
    }
    return QStringLiteral("Clicks: ") + parts.join(QStringLiteral(", "));
}

QString chatterCaption(double windowMs) {
    return QStringLiteral("A release and a new press less than %1 apart is one click registering twice.")
        .arg(qs(format(MeasureUnit::milliseconds, windowMs)));
}

std::vector<ClickInterval> shownClicks(const std::vector<ClickInterval>& intervals) {
    auto first = intervals.size() > shownIntervals ? intervals.end() - static_cast<std::ptrdiff_t>(shownIntervals)
                                                   : intervals.begin();
    return {first, intervals.end()};
}

QString sinceRelease(const ClickInterval& interval) {
    return qs(format(MeasureUnit::milliseconds, interval.sinceReleaseMs)) + QStringLiteral(" after release");
}

QString steps(const ScrollReport& report) {
    return QStringLiteral("Steps up: %1   down: %2").arg(report.up).arg(report.down);
}

QString reversals(int count) {
    if (count == 0) return QStringLiteral("No reversals");
    return QStringLiteral("%1 reversal%2 (a step the wrong way)").arg(count).arg(count == 1 ? "" : "s");
}

QString smooth(int count) {
    return QStringLiteral("%1 smooth-scroll events (trackpad or touch mouse); step counts are for notched wheels.")
        .arg(count);
}

QString rate(const std::optional<RorozErurEvo::TimedRate>& rate) {
    if (!rate) return QStringLiteral("Move the mouse in the test area");
    if (rate->atLeast) return qs(RorozErurEvo::ReportRateAnalysis::floorText(*rate));
    return QStringLiteral("About ") + qs(format(MeasureUnit::hertz, rate->hz)) + QStringLiteral(" while moving");
}

QString holding(double elapsed) {
    double shown = std::min(elapsed, MouseTester::holdSeconds);
    return QStringLiteral("Holding… ") + qs(Fmt::trim(shown, 1)) + QStringLiteral(" of 5 s");
}

QString done(int drops, double seconds) {
    if (drops == 0) return QStringLiteral("Held ") + qs(Fmt::trim(seconds, 1)) + QStringLiteral(" s with no drops");
    return QStringLiteral("%1 unexpected release%2").arg(drops).arg(drops == 1 ? "" : "s");
}

} // namespace MouseTexts

} // namespace Tessarine
