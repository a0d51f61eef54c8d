#include "app/views/testers/TesterTexts.h"

#include <algorithm>

#include "app/model/MouseTester.h"
#include "testkit/Fmt.h"
#include "testkit/Measure.h"

namespace Tessarine {

using namespace RorozErurEvo;

namespace {
QString qs(const std::string& text) { return QString::fromStdString(text); }

QString names(const KeyboardLayout& layout, const std::set<int>& codes) {
    QStringList list;
    for (int code : codes) list << qs(layout.name(code));
    return list.join(QStringLiteral(", "));
}
} // namespace

namespace KeyboardTexts {

KeyCount count(const KeyboardLayout& layout, KeyboardBoard board, const std::set<int>& tested) {
    return KeyboardResult::count(layout, board, tested);
}

namespace {
// "3 of 75 required keys", then " + 2 optional" once optional keys were pressed.
QString counted(KeyCount count, const QString& after) {
    QString text = QStringLiteral("%1 of %2 required keys%3").arg(count.tested).arg(count.required).arg(after);
    if (count.optional > 0) text += QStringLiteral(" + %1 optional").arg(count.optional);
    return text;
}
} // namespace

QString progress(KeyCount count) { return QStringLiteral("Keys tested: ") + counted(count, QString()); }

std::map<std::string, InputChatter> chatter(const std::vector<ButtonEvent>& events, double windowMs) {
    auto entries = ChatterAnalysis::analyze(events, windowMs);
    std::erase_if(entries, [](const auto& entry) { return entry.second.chatters <= 0; });
    return entries;
}

std::set<int> chatterCodes(const std::map<std::string, InputChatter>& chatter) {
    std::set<int> codes;
    for (const auto& [input, entry] : chatter)
        if (auto code = KeyboardResult::keyCode(input)) codes.insert(*code);
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
        auto code = KeyboardResult::keyCode(input);
        items << QStringLiteral("%1 %2×").arg(code ? qs(layout.name(*code)) : qs(input)).arg(entry.chatters);
    }
    return items.join(QStringLiteral(", "));
}

QString drawingValue(const KeyboardLayout& layout, KeyCount count, const std::set<int>& held) {
    QString value = counted(count, QStringLiteral(" tested"));
    if (!held.empty()) value += QStringLiteral("; held: ") + names(layout, held);
    return value;
}

QString otherKeys(const KeyboardLayout& layout, KeyboardBoard board, const std::vector<ButtonEvent>& events) {
    const auto keys = KeyboardResult::otherKeys(layout, board, events);
    if (keys.empty()) return QStringLiteral("none");
    return qs(KeyboardResult::otherKeysText(layout, keys));
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
