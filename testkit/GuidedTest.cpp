#include "testkit/GuidedTest.h"

namespace RorozErurEvo {

namespace {

bool isManual(TestKind kind) {
    return kind == TestKind::rumble || kind == TestKind::lights || kind == TestKind::adaptiveTriggers;
}

} // namespace

ValueSource GuidedTest::source() const {
    return isManual(kind) ? ValueSource::manual : (raw ? ValueSource::raw : ValueSource::processed);
}

std::string GuidedTest::id() const {
    return rawValue(kind) + "|" + element + "|" + rawValue(source());
}

std::string GuidedTest::title() const { return testTitle(element, kind, source(), " \u00B7 "); }

std::string GuidedTest::symbol() const {
    switch (kind) {
    case TestKind::drift: return "scope";
    case TestKind::circularity: return "circle.dashed";
    case TestKind::snapback: return "arrow.uturn.backward.circle";
    case TestKind::deadzone: return "smallcircle.filled.circle";
    case TestKind::trigger: return "slider.vertical.3";
    case TestKind::buttons: return "circle.grid.3x3";
    case TestKind::hold: return "hand.tap";
    case TestKind::dpad: return "dpad";
    case TestKind::rumble: return "waveform";
    case TestKind::lights: return "lightbulb";
    case TestKind::adaptiveTriggers: return "dial.medium";
    case TestKind::motion: return "gyroscope";
    case TestKind::touchpad: return "hand.draw";
    case TestKind::battery: return "battery.75percent";
    case TestKind::axisNoise:
    case TestKind::reportRate:
    case TestKind::keyboard:
    case TestKind::mouse: return "checkmark.circle";
    case TestKind::soak: return "antenna.radiowaves.left.and.right";
    case TestKind::axisSweep: return "arrow.left.and.right";
    case TestKind::axisCenter: return "scope";
    case TestKind::pedal: return "slider.vertical.3";
    }
    return "checkmark.circle";
}

std::string GuidedTest::instructions() const {
    const auto* axis = target.as<Target::Axis>();
    switch (kind) {
    case TestKind::drift: return "Let go of the controller and don't touch it. It measures where the stick rests.";
    case TestKind::circularity: return "Turn the stick slowly around its edge, pushed all the way out, three times.";
    case TestKind::snapback:
        return "Push the stick to the edge and let go, in each of the 8 directions. Pause a moment each time.";
    case TestKind::deadzone: return "Hands off for a moment, then push the stick very slowly toward the edge.";
    case TestKind::trigger: return "Pull the trigger slowly all the way in (about 2 seconds), then let go.";
    case TestKind::buttons:
        return "Press every button once. Each one ticks off when it registers; chatter is flagged as it happens.";
    case TestKind::hold: return "Press and hold one button firmly for about 3 seconds, then let go.";
    case TestKind::dpad: return "Press the d-pad in all 8 directions, diagonals too.";
    case TestKind::rumble: return "Play each motor and say whether you felt it.";
    case TestKind::lights: return "Change the light and player lights, and say whether they lit up.";
    case TestKind::adaptiveTriggers:
        return "Set each trigger mode, pull the trigger, and say whether you felt it. Triggers reset afterwards.";
    case TestKind::motion: return "Set the controller down still, then pick it up and turn it around when asked.";
    case TestKind::touchpad: return "Draw on the touchpad with two fingers, covering as much of it as you can.";
    case TestKind::battery: return "Reads the charge the controller reports.";
    case TestKind::axisNoise:
    case TestKind::reportRate:
    case TestKind::keyboard:
    case TestKind::mouse: return "";
    case TestKind::soak:
        return "Use the controller where you want to test the connection (across the room, say) for 5 to 15 "
               "minutes, keeping a stick moving in slow circles (pads with motion sensors usually keep reporting "
               "while they sit still: the live rate shows it). Dropouts in the input and disconnects are counted; "
               "if it reconnects, the run carries on.";
    case TestKind::axisSweep:
        if (axis && axis->role == AxisRole::throttle)
            return "Move the throttle slowly from one end to the other and back, then click Done.";
        if (axis && axis->role == AxisRole::twist)
            return "Twist the stick (or push the rudder) slowly all the way one way, then the other, then let go.";
        return "Turn the wheel slowly all the way left, then all the way right, then back to center.";
    case TestKind::axisCenter:
        if (axis && axis->role == AxisRole::steering) return "Line the wheel up straight, then let go of it.";
        return "Let go of the stick so its spring centers it.";
    case TestKind::pedal:
        return "Feet off the pedal for a moment, then press it slowly all the way down (about 2 seconds) and let go.";
    }
    return "";
}

} // namespace RorozErurEvo
