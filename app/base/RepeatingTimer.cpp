#include "app/base/RepeatingTimer.h"

#include <cmath>

namespace Tessarine {

void QtRepeatingTimer::start(double intervalSeconds, std::function<void()> fire) {
    fire_ = std::move(fire);
    clock.start();
    schedule.emplace(intervalSeconds, 0.0);
    timer.setTimerType(Qt::PreciseTimer);
    timer.setSingleShot(true);
    // Armed before firing: the callback may destroy this timer.
    QObject::connect(&timer, &QTimer::timeout, [this] {
        auto fire = fire_;
        arm();
        fire();
    });
    timer.start(static_cast<int>(std::ceil(intervalSeconds * 1000)));
}

void QtRepeatingTimer::arm() {
    const double wait = schedule->next(static_cast<double>(clock.nsecsElapsed()) * 1e-9);
    // Whole milliseconds, rounded up: a precise timer never fires early, so each frame fires at
    // or just after its deadline and the next wait makes up for the lateness.
    timer.start(static_cast<int>(std::ceil(wait * 1000)));
}

TimerFactory QtRepeatingTimer::factory() {
    return [] { return std::make_unique<QtRepeatingTimer>(); };
}

} // namespace Tessarine
