#include "testkit/VerdictReasons.h"

#include <algorithm>
#include <array>

#include "testkit/EndedEarly.h"
#include "testkit/Text.h"

namespace RorozErurEvo::VerdictReasons {

namespace {

// A measure named in a headline: the words before its value, the words after it, and whether
// those end in a plural "s" unless the value is 1.
struct Wording {
    TestKind kind;
    std::string_view id;
    std::string_view before;
    std::string_view after;
    bool plural = false;
};

using K = TestKind;

// The measures with a limit, of every analysis that has one.
constexpr std::array wordings{
    Wording{K::drift, "offset", "drift ", ""},
    Wording{K::drift, "peak", "farthest reading ", " off center"},
    Wording{K::drift, "noise", "noise ", " at rest"},
    Wording{K::circularity, "error", "", " circularity"},
    Wording{K::circularity, "coverage", "only ", " of directions reached"},
    Wording{K::circularity, "short", "", " of directions short of the edge"},
    Wording{K::snapback, "worst", "returns ", " off center"},
    Wording{K::snapback, "settle", "slowest return ", ""},
    Wording{K::deadzone, "deadzone", "deadzone ", ""},
    Wording{K::trigger, "reach", "reaches ", ""},
    Wording{K::trigger, "rest", "rests at ", ""},
    Wording{K::trigger, "jump", "jumps ", ""},
    Wording{K::trigger, "release", "stays at ", " after letting go"},
    Wording{K::buttons, "missing", "", " not registered"},
    Wording{K::buttons, "chatter", "chatter ", "\u00D7"},
    Wording{K::keyboard, "missing", "", " not registered"},
    Wording{K::keyboard, "chatter", "chatter ", "\u00D7"},
    Wording{K::hold, "drops", "drops out ", "\u00D7"},
    Wording{K::dpad, "missing", "", " direction not registered", true},
    Wording{K::dpad, "chatter", "chatter ", "\u00D7"},
    Wording{K::motion, "gyroRest", "gyro ", " at rest"},
    Wording{K::motion, "gyroMove", "fastest turn ", ""},
    Wording{K::motion, "gravity", "gravity off by ", ""},
    Wording{K::touchpad, "coverage", "", " of the surface"},
    Wording{K::touchpad, "fingers", "", " finger", true},
    Wording{K::axisNoise, "jitter", "jitter ", ""},
    Wording{K::axisNoise, "coverage", "covers only ", " of its range"},
    Wording{K::reportRate, "gap", "longest gap ", ""},
    Wording{K::mouse, "missing", "", " button not registered", true},
    Wording{K::mouse, "chatter", "double-click chatter ", "\u00D7"},
    Wording{K::mouse, "reversals", "", " wheel reversal", true},
    Wording{K::mouse, "drops", "let go ", "\u00D7 while held"},
    Wording{K::soak, "gapRate", "", " dropouts per minute"},
    Wording{K::soak, "disconnects", "", " disconnect", true},
    Wording{K::soak, "coverage", "input ", " of the time"},
    Wording{K::axisSweep, "coverage", "reaches only ", " of its range"},
    Wording{K::axisSweep, "skip", "largest skip ", ""},
    Wording{K::axisCenter, "offset", "rests ", " off center"},
    Wording{K::axisCenter, "jitter", "jitter ", " at rest"},
    Wording{K::pedal, "rest", "reads ", " at rest"},
    Wording{K::pedal, "reach", "reaches ", ""},
    Wording{K::pedal, "skip", "largest skip ", ""},
    Wording{K::pedal, "jitter", "jitter ", " at rest"},
    Wording{K::pedal, "release", "stays at ", " after letting go"},
};

bool among(Named named, const std::string& id) {
    return std::find(named.begin(), named.end(), std::string_view(id)) != named.end();
}

} // namespace

std::string phrase(TestKind kind, const Measure& measure) {
    const std::string value = measure.display();
    for (const auto& w : wordings) {
        if (w.kind != kind || w.id != measure.id) continue;
        std::string text = std::string(w.before) + value + std::string(w.after);
        if (w.plural && measure.value != 1) text += "s";
        return text;
    }
    // A saved file's measure may have no label at all.
    if (measure.label.empty()) return value;
    std::string label = measure.label;
    label[0] = lowercased(label[0]);
    return label + " " + value;
}

std::vector<std::string> unnamed(TestKind kind, const std::vector<Measure>& measures, Named named) {
    const Verdict verdict = verdictOfMeasures(measures);
    if (verdict == Verdict::pass) return {};
    auto decides = [&](const Measure& m) { return m.verdict() == verdict; };
    for (const auto& m : measures)
        if (among(named, m.id) && decides(m)) return {};
    std::vector<std::string> phrases;
    for (const auto& m : measures)
        if (!among(named, m.id) && decides(m)) phrases.push_back(phrase(kind, m));
    return phrases;
}

std::string headline(std::string base, TestKind kind, const std::vector<Measure>& measures, Named named) {
    for (const auto& more : unnamed(kind, measures, named)) base += ", " + more;
    return base;
}

namespace {

std::string withMore(std::string words, const TestResult& result, std::vector<std::string> more) {
    if (EndedEarly::marked(result) && words.find(EndedEarly::words) == std::string::npos)
        more.push_back(EndedEarly::words);
    if (more.empty()) return words;
    words += " (";
    for (std::size_t i = 0; i < more.size(); ++i) words += (i > 0 ? ", " : "") + more[i];
    return words + ")";
}

} // namespace

std::string qualified(std::string words, const TestResult& result, Named named) {
    std::vector<std::string> more;
    if (result.verdict != Verdict::pass) more = unnamed(result.kind, result.measures, named);
    return withMore(std::move(words), result, std::move(more));
}

std::string qualified(std::string words, const TestResult& result) { return withMore(std::move(words), result, {}); }

} // namespace RorozErurEvo::VerdictReasons
