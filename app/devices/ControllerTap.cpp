#include "app/devices/ControllerTap.h"

#include <algorithm>
#include <cmath>

using namespace RorozErurEvo;

namespace Tessarine {

namespace {

constexpr std::size_t at(PadAxis a) { return static_cast<std::size_t>(a); }
constexpr std::size_t at(PadButton b) { return static_cast<std::size_t>(b); }

// The two axes of each stick, left then right.
constexpr std::array<std::array<PadAxis, 2>, 2> stickAxes{{{PadAxis::leftX, PadAxis::leftY},
                                                           {PadAxis::rightX, PadAxis::rightY}}};
constexpr std::array<PadAxis, 2> triggerAxes{PadAxis::leftTrigger, PadAxis::rightTrigger};
constexpr std::array<PadButton, 4> dpadButtons{PadButton::dpadUp, PadButton::dpadDown, PadButton::dpadLeft,
                                               PadButton::dpadRight};

// A touch position 0 … 1 from the top-left corner as −1 … 1 with y up.
double touchUnit(float v, bool flip) {
    const double u = std::clamp(2.0 * static_cast<double>(v) - 1.0, -1.0, 1.0);
    return flip ? -u : u;
}

} // namespace

ControllerTap::ControllerTap(int instance, std::shared_ptr<CaptureBuffer> capture,
                             const std::vector<DescribedElement>& described, const Clock& clock)
    : instance_(instance), capture_(std::move(capture)), clock_(clock) {
    byAxis_.fill(none);
    byButton_.fill(none);
    byFinger_.fill(none);
    for (const auto& d : described) {
        const int index = static_cast<int>(tops_.size());
        tops_.push_back(Entry{d.info.id, d.info.kind, d.input, d.info.finger});
        const auto i = static_cast<std::size_t>(d.input.index);
        switch (d.input.type) {
        case ControllerInput::Type::stick:
            if (i < stickAxes.size())
                for (auto a : stickAxes[i]) byAxis_[at(a)] = index;
            break;
        case ControllerInput::Type::trigger:
            if (i < triggerAxes.size()) byAxis_[at(triggerAxes[i])] = index;
            break;
        case ControllerInput::Type::dpad:
            // A change of any of the pad's directions records the whole pad.
            for (auto b : dpadButtons) byButton_[at(b)] = index;
            break;
        case ControllerInput::Type::button:
            if (i < padButtonCount) byButton_[i] = index;
            break;
        case ControllerInput::Type::touch:
            if (i < byFinger_.size()) byFinger_[i] = index;
            break;
        }
    }
}

double ControllerTap::sampleTime(double stamp, double now) {
    return stamp > 0 && std::abs(stamp - now) < stampTolerance ? stamp : now;
}

double ControllerTap::stickUnit(std::int16_t value) {
    return value >= 0 ? value / 32767.0 : value / 32768.0;
}

double ControllerTap::triggerUnit(std::int16_t value) { return std::clamp(value / 32767.0, 0.0, 1.0); }

void ControllerTap::record(const Entry& entry, double t) {
    auto& buffer = *capture_;
    const auto i = static_cast<std::size_t>(entry.input.index);
    switch (entry.input.type) {
    case ControllerInput::Type::stick: {
        if (i >= stickAxes.size()) return;
        // The service's y grows downwards; ours grows upwards.
        const double x = stickUnit(state_.axes[at(stickAxes[i][0])]);
        const double y = -stickUnit(state_.axes[at(stickAxes[i][1])]);
        buffer.recordStick(entry.id, x, y, std::nullopt, t);
        return;
    }
    case ControllerInput::Type::dpad: {
        const auto held = [&](PadButton b) { return state_.buttons.test(at(b)) ? 1.0 : 0.0; };
        buffer.recordStick(entry.id, held(PadButton::dpadRight) - held(PadButton::dpadLeft),
                           held(PadButton::dpadUp) - held(PadButton::dpadDown), std::nullopt, t);
        return;
    }
    case ControllerInput::Type::trigger: {
        if (i >= triggerAxes.size()) return;
        const double v = triggerUnit(state_.axes[at(triggerAxes[i])]);
        buffer.recordAxis(entry.id, v, std::nullopt, t);
        buffer.recordTriggerPress(entry.id, v, t);
        return;
    }
    case ControllerInput::Type::button:
        if (i < padButtonCount) buffer.recordButton(entry.id, state_.buttons.test(i), t);
        return;
    case ControllerInput::Type::touch:
        // Touches are recorded as they arrive (touched()); a snapshot writes them there.
        return;
    }
}

void ControllerTap::snapshot(const ControllerState& state, double t) {
    state_.axes = state.axes;
    state_.buttons = state.buttons;
    for (const auto& entry : tops_) {
        if (entry.input.type != ControllerInput::Type::touch) {
            record(entry, t);
            continue;
        }
        const auto finger = static_cast<std::size_t>(entry.input.index);
        if (finger < state.fingers.size() && state.fingers[finger].down)
            capture_->recordTouch(TouchSample{t, entry.finger, touchUnit(state.fingers[finger].x, false),
                                              touchUnit(state.fingers[finger].y, true)});
    }
}

void ControllerTap::axisMoved(PadAxis axis, std::int16_t value, double stamp) {
    const auto a = at(axis);
    if (a >= padAxisCount) return;
    state_.axes[a] = value;
    if (byAxis_[a] != none) record(tops_[static_cast<std::size_t>(byAxis_[a])], sampleTime(stamp, clock_.now()));
}

void ControllerTap::buttonChanged(PadButton button, bool down, double stamp) {
    const auto b = at(button);
    if (b >= padButtonCount) return;
    state_.buttons.set(b, down);
    if (byButton_[b] != none) record(tops_[static_cast<std::size_t>(byButton_[b])], sampleTime(stamp, clock_.now()));
}

void ControllerTap::touched(int finger, TouchPhase phase, float x, float y, double stamp) {
    if (finger < 0 || finger >= static_cast<int>(byFinger_.size())) return;
    const int index = byFinger_[static_cast<std::size_t>(finger)];
    if (index == none) return;
    const auto& entry = tops_[static_cast<std::size_t>(index)];
    if (phase == TouchPhase::up) {
        capture_->liftTouch(entry.finger);
        return;
    }
    if (!std::isfinite(x) || !std::isfinite(y)) return;
    capture_->recordTouch(
        TouchSample{sampleTime(stamp, clock_.now()), entry.finger, touchUnit(x, false), touchUnit(y, true)});
}

void ControllerTap::sensorRead(Sensor sensor, std::array<float, 3> values, double) {
    if (!std::all_of(values.begin(), values.end(), [](float v) { return std::isfinite(v); })) return;
    const Vector3 v{values[0], values[1], values[2]};
    // One sample per accelerometer reading; a gyroscope reading makes its own only when no
    // accelerometer reading came since the previous one (a pad without an accelerometer, or one
    // whose accelerometer is silent or slower), so a report that carries both sensors gives one
    // sample and no rotation goes unrecorded for want of an acceleration.
    if (sensor == Sensor::gyroscope) {
        rotation_ = v;
        if (accelerationSinceRotation_) {
            accelerationSinceRotation_ = false;
            return;
        }
    } else {
        acceleration_ = Vector3{v.x / gravity, v.y / gravity, v.z / gravity};
        accelerationSinceRotation_ = true;
    }
    capture_->recordMotion(MotionSample{clock_.now(), rotation_, acceleration_});
}

} // namespace Tessarine
