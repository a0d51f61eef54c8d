#include "app/model/EventClock.h"

#include <algorithm>

namespace Tessarine {

double EventClock::toUptime(std::uint64_t eventMs, double now) {
    double stamp = static_cast<double>(eventMs) / 1000.0;
    double offset = now - stamp;
    offset_ = offset_ ? std::min(*offset_, offset) : offset;
    double t = stamp + *offset_;
    if (now - t > staleAfter) return now;
    return t;
}

} // namespace Tessarine
