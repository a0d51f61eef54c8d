// The kinds that press buttons and the d-pad, from the live counts to the result.
//
// e = seconds since the test began. "Limit" ends the test on the first frame after it.
//
//   buttons     one phase: registered of expected ─ complete when all registered and 0.6 s
//               without an event. No limit; an empty list never completes.
//   hold        waits for the first press ─ held time / 3 ─ complete when released after
//               ≥ 2.5 s and 0.5 s quiet. Limit 25 s. The result judges the first button pressed.
//   dpad        one phase: directions of 8 ─ complete at 8 and 0.4 s quiet. Limit 40 s.
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

bool buttonsStep(Active& a, const Frame& f, const Target::Buttons& target, double) {
    const auto events = f.device->buffer().events(a.recordFrom, open);
    std::set<std::string> expected;
    for (const auto& input : target.inputs) expected.insert(input.id);
    std::set<std::string> registered;
    for (const auto& ev : events)
        if (ev.down && expected.contains(ev.input)) registered.insert(ev.input);
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

std::optional<TestResult> buttonsEnd(const Ending& x, const Target::Buttons& buttons) {
    return ButtonTest::result(buttons.inputs, x.device.buffer().events(x.active.recordFrom, x.now),
                              x.thresholds.chatterWindowMs, TestKind::buttons, "", "buttons", x.source, x.date);
}

// ---- hold

bool holdStep(Active& a, const Frame& f, const Target::Buttons& target, double e) {
    const auto events = f.device->buffer().events(a.recordFrom, open);
    const auto first = std::find_if(events.begin(), events.end(), [](const ButtonEvent& ev) { return ev.down; });
    if (first == events.end()) return e > holdLimit;
    const std::string input = first->input;
    const double pressed = first->t;
    const ButtonEvent* last = nullptr;
    for (const auto& ev : events)
        if (ev.input == input) last = &ev;
    const bool held = last->down;
    const double end = held ? f.now : last->t;
    std::string name = input;
    for (const auto& n : target.inputs)
        if (n.id == input) {
            name = n.name;
            break;
        }
    const double seconds = end - pressed;
    a.status = "Holding " + name + ": " + format(MeasureUnit::seconds, seconds);
    a.progress = std::clamp(seconds / 3.0, 0.0, 1.0);
    return (!held && seconds >= 2.5 && f.now - last->t > 0.5) || e > holdLimit;
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
    return HoldCheck::result(events, input, TestKind::hold, "", x.source, x.date);
}

// ---- dpad

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
         .finish = finishOn<Target::Buttons, buttonsEnd>},
        {.kind = TestKind::hold, .step = stepOn<Target::Buttons, holdStep>, .finish = finishOn<Target::Buttons, holdEnd>},
        {.kind = TestKind::dpad, .step = stepOn<Target::Dpad, dpadStep>, .finish = finishOn<Target::Dpad, dpadEnd>},
    };
    return records;
}

} // namespace Tessarine::TestKinds
