#include "app/base/Clock.h"

#include <time.h>

namespace Tessarine {

double SystemClock::now() const {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

const Clock& Clock::system() {
    static const SystemClock clock;
    return clock;
}

} // namespace Tessarine
