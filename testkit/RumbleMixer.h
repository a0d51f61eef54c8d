#pragma once
// Rumble of one controller over its four motors: the two in the handles (a low-frequency one on
// the left, a high-frequency one on the right) and one behind each trigger. The system drives
// the motors in pairs (handles, triggers), each call setting both motors of a pair for one
// duration, so a rumble on one motor must resend its partner too. The mixer keeps each motor's
// strength and end time and tells what to send now and when to look again.
//
// Timeline of one motor: idle → running (start, strength > 0, until its end) → idle (its end
// passes, stop(), or a new start with strength 0). A new start replaces what the motor was doing.
#include <array>
#include <cstdint>
#include <optional>

namespace RorozErurEvo {

class RumbleMixer {
public:
    enum class Motor { low, high, leftTrigger, rightTrigger };

    // Longest single rumble, seconds; longer requests are cut to it.
    static constexpr double maxSeconds = 60.0;

    // What one pair of motors is to do from now on.
    struct Pair {
        std::uint16_t first = 0;   // low (handles) or left trigger; 0 … 65535
        std::uint16_t second = 0;  // high (handles) or right trigger
        std::uint32_t ms = 0;      // until the later of the two ends; 0 when both are idle

        friend bool operator==(const Pair&, const Pair&) = default;
    };

    // Runs a motor at `strength` (0 … 1) for `seconds` from `now` (seconds of uptime). A strength
    // or duration that is not a positive finite number leaves the motor idle.
    void start(Motor motor, double strength, double seconds, double now);
    // Every motor idle.
    void stop();

    Pair handles(double now) const;
    Pair triggers(double now) const;
    // The earliest end after `now` of a running motor; absent when none runs past now.
    std::optional<double> nextChange(double now) const;

private:
    struct State {
        std::uint16_t level = 0;
        double end = 0;
    };

    Pair pair(Motor first, Motor second, double now) const;
    const State& at(Motor m) const { return motors[static_cast<std::size_t>(m)]; }

    std::array<State, 4> motors{};
};

} // namespace RorozErurEvo
