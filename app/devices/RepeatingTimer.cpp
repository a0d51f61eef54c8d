#include "app/devices/RepeatingTimer.h"

#include <cmath>

namespace Tessarine {

void QtRepeatingTimer::start(double intervalSeconds, std::function<void()> fire) {
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, [fire = std::move(fire)] { fire(); });
    timer.start(static_cast<int>(std::lround(intervalSeconds * 1000)));
}

TimerFactory QtRepeatingTimer::factory() {
    return [] { return std::make_unique<QtRepeatingTimer>(); };
}

} // namespace Tessarine
