// The kinds that press buttons and the d-pad, from the live counts to the result.
//
// e = seconds since the test began. "Limit" ends the test on the first frame after it.
//
//   buttons     one phase: registered of expected ─ complete when all registered and 0.6 s
//               without an event. No limit; an empty list never completes.
//   hold        waits for the first press ─ held time / 3 ─ complete when released after
//               ≥ 2.5 s and 0.5 s quiet. Limit 25 s. The result judges the first button pressed.
//   dpad        one phase: directions of 8 ─ complete at 8 and 0.4 s quiet. Limit 40 s.
//
// Ended by Done or a limit short of its rule (buttons or directions not all seen, a hold
// shorter than 2.5 s or never let go), a result says so and is at best a warning. The waits for
// quiet only let a test end by itself.
#include <algorithm>
#include <set>

#include "app/devices/InputDevice.h"
#include "app/model/KindParts.h"
#include "testkit/ButtonTest.h"
#include "testkit/ChatterAnalysis.h"
#include "testkit/DPadTest.h"
#include "testkit/HoldCheck.h"
#include "testkit/Measure.h"

namespace Tessarine::TestKinds {

using namespace RorozErurEvo;
using TestPhases::Frame;

namespace {

// Time limits, seconds since the start.
constexpr double holdLimit = 25, dpadLimit = 40;

// ---- buttons

std::set<std::string> expectedIds(const Target::Buttons& target) {
    std::set<std::string> expected;
    for (const auto& input : target.inputs) expected.insert(input.id);
    return expected;
}

// The `expected` inputs pressed at least once in `events`.
std::set<std::string> registeredIn(const std::vector<ButtonEvent>& events, const std::set<std::string>& expected) {
    std::set<std::string> registered;
    for (const auto& ev : events)
        if (ev.down && expected.contains(ev.input)) registered.insert(ev.input);
    return registered;
}

bool buttonsStep(Active& a, const Frame& f, const Target::Buttons& target, double) {
    const auto events = f.device->buffer().events(a.recordFrom, open);
    const auto expected = expectedIds(target);
    std::set<std::string> registered = registeredIn(events, expected);
    const int chatter = ChatterAnalysis::total(ChatterAnalysis::analyze(events, f.thresholds.chatterWindowMs));
    const auto r = registered.size(), x = expected.size();
    a.registered = std::move(registered);
    a.status = count(static_cast<double>(r)) + " of " + count(static_cast<double>(x)) + " registered";
    if (chatter >= 1) a.status += " \u00B7 chatter " + count(chatter) + "\u00D7";
    a.progress = static_cast<double>(r) / static_cast<double>(std::max<std::size_t>(x, 1));
    // Nothing to press is never done by itself; an empty log counts as an event now.
    const double newest = events.empty() ? f.now : events.back().t;
    return x > 0 && r == x && f.now - newest > 0.6;
}

// Inputs never pressed.
std::optional<std::string> buttonsShort(const Ending& x, const TestResult&, const Target::Buttons& target) {
    const auto expected = expectedIds(target);
    const auto r = registeredIn(x.device.buffer().events(x.active.recordFrom, open), expected).size();
    const auto n = expected.size();
    if (r >= n) return std::nullopt;
    return count(static_cast<double>(r)) + " of " + count(static_cast<double>(n)) + " registered";
}

std::optional<TestResult> buttonsEnd(const Ending& x, const Target::Buttons& buttons) {
    return ButtonTest::result(buttons.inputs, x.device.buffer().events(x.active.recordFrom, x.now),
                              x.thresholds.chatterWindowMs, TestKind::buttons, "", "buttons", x.source, x.date);
}

// ---- hold

// Seconds a hold must last, and a complete one shows full.
constexpr double holdSeconds = 2.5, holdShown = 3.0;

// The first button pressed in a window of events, and how long it was held by `now`: up to
// its last release, or on to now while it is still down.
struct Hold {
    std::string input;
    double seconds = 0;
    bool down = false;     // still held
    double lastEvent = 0;  // time of the input's last event
};

std::optional<Hold> firstHold(const std::vector<ButtonEvent>& events, double now) {
    const auto first = std::find_if(events.begin(), events.end(), [](const ButtonEvent& ev) { return ev.down; });
    if (first == events.end()) return std::nullopt;
    const ButtonEvent* last = nullptr;
    for (const auto& ev : events)
        if (ev.input == first->input) last = &ev;
    return Hold{first->input, (last->down ? now : last->t) - first->t, last->down, last->t};
}

bool holdStep(Active& a, const Frame& f, const Target::Buttons& target, double e) {
    const auto hold = firstHold(f.device->buffer().events(a.recordFrom, open), f.now);
    if (!hold) return e > holdLimit;
    std::string name = hold->input;
    for (const auto& n : target.inputs)
        if (n.id == hold->input) {
            name = n.name;
            break;
        }
    a.status = "Holding " + name + ": " + format(MeasureUnit::seconds, hold->seconds);
    a.progress = std::clamp(hold->seconds / holdShown, 0.0, 1.0);
    return (!hold->down && hold->seconds >= holdSeconds && f.now - hold->lastEvent > 0.5) || e > holdLimit;
}

// A hold shorter than asked, or never let go: nothing judges how long a button holds. Read as
// the live step reads it, so a run that completed is never taken for a short one.
std::optional<std::string> holdShort(const Ending& x, const TestResult&, const Target::Buttons&) {
    const auto hold = firstHold(x.device.buffer().events(x.active.recordFrom, open), x.now);
    if (!hold || (!hold->down && hold->seconds >= holdSeconds)) return std::nullopt;
    if (hold->down) return "still held after " + oneDecimal(hold->seconds) + " s";
    return "held " + oneDecimal(hold->seconds) + " of " + oneDecimal(holdSeconds) + " s";
}

std::optional<TestResult> holdEnd(const Ending& x, const Target::Buttons& buttons) {
    const auto events = x.device.buffer().events(x.active.recordFrom, x.now);
    const auto first = std::find_if(events.begin(), events.end(), [](const ButtonEvent& e) { return e.down; });
    InputName input{"", "button"};
    if (first != events.end()) {
        input = InputName{first->input, first->input};
        for (const auto& n : buttons.inputs)
            if (n.id == first->input) {
                input = n;
                break;
            }
    }
    // A button still down when the test ends was held until then.
    return HoldCheck::result(events, input, TestKind::hold, "", x.source, x.date, x.now);
}

// ---- dpad

// Directions never pushed.
std::optional<std::string> dpadShort(const Ending& x, const TestResult&, const Target::Dpad& dpad) {
    const auto k = DPadTest::directions(x.device.buffer().sticks(dpad.id, x.active.recordFrom, open)).size();
    if (k >= 8) return std::nullopt;
    return count(static_cast<double>(k)) + " of 8 directions";
}

bool dpadStep(Active& a, const Frame& f, const Target::Dpad& dpad, double e) {
    const auto samples = f.device->buffer().sticks(dpad.id, a.recordFrom, open);
    a.directions = DPadTest::directions(samples);
    const auto k = a.directions.size();
    a.status = count(static_cast<double>(k)) + " of 8 directions";
    a.progress = static_cast<double>(k) * 0.125;
    const bool quiet = samples.empty() || f.now - samples.back().t > 0.4;
    return (k == 8 && quiet) || e > dpadLimit;
}

std::optional<TestResult> dpadEnd(const Ending& x, const Target::Dpad& dpad) {
    return DPadTest::result(x.device.buffer().sticks(dpad.id, x.active.recordFrom, x.now), x.active.test.element,
                            x.source, x.thresholds, x.date);
}

} // namespace

std::span<const Record> buttonRecords() {
    static const Record records[] = {
        {.kind = TestKind::buttons,
         .step = stepOn<Target::Buttons, buttonsStep>,
         .finish = finishOn<Target::Buttons, buttonsEnd>,
         .shortfall = shortfallOn<Target::Buttons, buttonsShort>},
        {.kind = TestKind::hold,
         .step = stepOn<Target::Buttons, holdStep>,
         .finish = finishOn<Target::Buttons, holdEnd>,
         .shortfall = shortfallOn<Target::Buttons, holdShort>},
        {.kind = TestKind::dpad,
         .step = stepOn<Target::Dpad, dpadStep>,
         .finish = finishOn<Target::Dpad, dpadEnd>,
         .shortfall = shortfallOn<Target::Dpad, dpadShort>},
    };
    return records;
}

} // namespace Tessarine::TestKinds
