#pragma once
// The sample records a device's capture buffer keeps besides stick samples (StickGeometry.h).
// Times are seconds of uptime.
#include <cmath>
#include <optional>
#include <string>

namespace RorozErurEvo {

// One reading of an analogue axis or trigger.
struct TriggerSample {
    double t = 0;
    double value = 0;                 // unit value (0 … 1 for triggers and unit-scaled HID axes)
    std::optional<long long> raw;     // the raw HID count behind it; absent for game controllers

    friend bool operator==(const TriggerSample&, const TriggerSample&) = default;
};

// One press or release.
struct ButtonEvent {
    std::string input;   // element id of the button, or an input name of the keyboard and mouse testers
    bool down = false;   // true for a press
    double t = 0;

    friend bool operator==(const ButtonEvent&, const ButtonEvent&) = default;
};

struct Vector3 {
    double x = 0;
    double y = 0;
    double z = 0;

    // Length of the vector: sqrt(x² + y² + z²).
    double magnitude() const { return std::sqrt(x * x + y * y + z * z); }

    friend bool operator==(const Vector3&, const Vector3&) = default;
};

// One motion-sensor reading.
struct MotionSample {
    double t = 0;
    std::optional<Vector3> rotation;      // radians per second; absent when the sensor gives none
    std::optional<Vector3> acceleration;  // units of g, gravity included

    friend bool operator==(const MotionSample&, const MotionSample&) = default;
};

// One touch point.
struct TouchSample {
    double t = 0;
    int finger = 0;   // 0 for the first finger, 1 for the second
    double x = 0;     // -1 … 1 across the surface
    double y = 0;     // -1 … 1 across the surface

    friend bool operator==(const TouchSample&, const TouchSample&) = default;
};

} // namespace RorozErurEvo
