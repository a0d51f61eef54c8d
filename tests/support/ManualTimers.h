#pragma once
// Timers for tests: they record what was started and fire only when the test says so.
#include <functional>
#include <memory>

#include "app/base/RepeatingTimer.h"

namespace Tessarine {

struct ManualTimers {
    struct Timer : RepeatingTimer {
        explicit Timer(ManualTimers& owner) : owner(owner) {}
        void start(double intervalSeconds, std::function<void()> fire) override {
            owner.interval = intervalSeconds;
            owner.fire = std::move(fire);
        }
        ManualTimers& owner;
    };
    TimerFactory factory() {
        return [this] {
            ++created;
            return std::make_unique<Timer>(*this);
        };
    }
    int created = 0;
    double interval = 0;
    std::function<void()> fire;
};

} // namespace Tessarine
