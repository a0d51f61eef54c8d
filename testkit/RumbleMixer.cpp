#include "testkit/RumbleMixer.h"

#include <algorithm>
#include <cmath>

namespace RorozErurEvo {

namespace {
constexpr double fullLevel = 65535; // the system's strongest motor level
}

void RumbleMixer::start(Motor motor, double strength, double seconds, double now) {
    auto& m = motors[static_cast<std::size_t>(motor)];
    if (!std::isfinite(strength) || !std::isfinite(seconds) || strength <= 0 || seconds <= 0) {
        m = State{};
        return;
    }
    m.level = static_cast<std::uint16_t>(std::lround(std::min(strength, 1.0) * fullLevel));
    m.end = m.level == 0 ? 0 : now + std::min(seconds, maxSeconds);
}

void RumbleMixer::stop() { motors.fill(State{}); }

RumbleMixer::Pair RumbleMixer::pair(Motor first, Motor second, double now) const {
    Pair p;
    double until = now;
    const auto running = [&](const State& s) { return s.level > 0 && s.end > now; };
    if (running(at(first))) {
        p.first = at(first).level;
        until = std::max(until, at(first).end);
    }
    if (running(at(second))) {
        p.second = at(second).level;
        until = std::max(until, at(second).end);
    }
    if (p.first > 0 || p.second > 0) p.ms = static_cast<std::uint32_t>(std::max(1.0, std::round((until - now) * 1000)));
    return p;
}

RumbleMixer::Pair RumbleMixer::handles(double now) const { return pair(Motor::low, Motor::high, now); }

RumbleMixer::Pair RumbleMixer::triggers(double now) const {
    return pair(Motor::leftTrigger, Motor::rightTrigger, now);
}

std::optional<double> RumbleMixer::nextChange(double now) const {
    std::optional<double> next;
    for (const auto& m : motors)
        if (m.level > 0 && m.end > now && (!next || m.end < *next)) next = m.end;
    return next;
}

} // namespace RorozErurEvo
