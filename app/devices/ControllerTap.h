#pragma once
// The tap of one attached game controller: it maps each input change the backend reports to the
// controller's catalogue entry and writes it, time-stamped, into the device's capture buffer.
//
// Built on the main thread with tables that never change; from then on used only on the
// backend's thread, which alone touches the last known input state kept here. The capture
// buffer is the only thing it shares with the main thread, and that guards itself.
#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/devices/CaptureBuffer.h"
#include "app/base/Clock.h"
#include "app/devices/ControllerBackend.h"
#include "app/devices/ElementInfo.h"

namespace Tessarine {

// Which of the service's inputs feed one catalogue element.
struct ControllerInput {
    enum class Type { stick, dpad, trigger, button, touch };
    Type type = Type::button;
    // stick and trigger: 0 left, 1 right; button: the PadButton; touch: the finger.
    int index = 0;
    friend bool operator==(const ControllerInput&, const ControllerInput&) = default;
};

// One catalogue entry: the element as the service has it and as the rest of the system sees it.
struct DescribedElement {
    ControllerInput input;
    ElementInfo info;
    friend bool operator==(const DescribedElement&, const DescribedElement&) = default;
};

class ControllerTap {
public:
    struct Entry {
        std::string id;           // the element id samples are recorded under
        ElementInfo::Kind kind;
        ControllerInput input;
        int finger = 0;           // touch surfaces; 0 otherwise
    };

    // An event time further than this from the clock's now is not trusted (seconds).
    static constexpr double stampTolerance = 5.0;
    // Standard gravity, m/s² per g.
    static constexpr double gravity = 9.80665;

    ControllerTap(int instance, std::shared_ptr<CaptureBuffer> capture, const std::vector<DescribedElement>& described,
                  const Clock& clock = Clock::system());

    int instance() const { return instance_; }
    const std::vector<Entry>& tops() const { return tops_; }

    // Backend's thread only.
    // Records every catalogue element once from `state` at time t: the resting state before
    // the first change.
    void snapshot(const ControllerState& state, double t);
    void axisMoved(PadAxis axis, std::int16_t value, double stamp);
    void buttonChanged(PadButton button, bool down, double stamp);
    void touched(int finger, TouchPhase phase, float x, float y, double stamp);
    void sensorRead(Sensor sensor, std::array<float, 3> values, double stamp);

    // The time of a sample: the event's own stamp when it is positive and within the tolerance of
    // now, else now.
    static double sampleTime(double stamp, double now);
    // Stick axis as −1 … 1 (the service's full range reaches both ends exactly).
    static double stickUnit(std::int16_t value);
    // Trigger travel as 0 … 1.
    static double triggerUnit(std::int16_t value);

private:
    static constexpr int none = -1;

    void record(const Entry& entry, double t);

    const int instance_;
    const std::shared_ptr<CaptureBuffer> capture_;
    const Clock& clock_;
    std::vector<Entry> tops_;
    std::array<int, padAxisCount> byAxis_;       // index into tops_, or none
    std::array<int, padButtonCount> byButton_;
    std::array<int, 2> byFinger_;

    // Backend's thread.
    ControllerState state_;
    // Every motion sample carries the latest reading of each sensor; absent only for a sensor
    // that has not reported yet.
    std::optional<RorozErurEvo::Vector3> rotation_;
    std::optional<RorozErurEvo::Vector3> acceleration_;
    bool accelerationSinceRotation_ = false;
};

} // namespace Tessarine
