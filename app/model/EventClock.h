#pragma once
// Qt stamps key and mouse events in milliseconds of the window system's own clock, not on the
// uptime clock every other sample uses. This is the one place that converts between the two.
#include <cstdint>
#include <optional>

namespace Tessarine {

class EventClock {
public:
    // An event stamp more than this far behind its arrival is not trusted (seconds).
    static constexpr double staleAfter = 0.25;

    // Uptime seconds of an event stamped eventMs that arrived at uptime `now`.
    // The offset between the clocks is the smallest arrival delay seen so far, so a late event
    // keeps its own time; a stamp that lags its arrival by more than staleAfter (a synthetic
    // event, or a repeat carrying an old stamp) is timed by its arrival instead.
    double toUptime(std::uint64_t eventMs, double now);

private:
    std::optional<double> offset_; // uptime minus event clock, seconds
};

} // namespace Tessarine
