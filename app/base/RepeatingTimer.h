#pragma once
// A repeating callback on the main thread's event loop, behind an interface so that tests can
// count timers and fire them by hand.
#include <QElapsedTimer>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>

#include "app/base/FrameSchedule.h"

namespace Tessarine {

class RepeatingTimer {
public:
    virtual ~RepeatingTimer() = default;
    // Calls `fire` every `intervalSeconds` until the timer is destroyed.
    virtual void start(double intervalSeconds, std::function<void()> fire) = 0;
};

using TimerFactory = std::function<std::unique_ptr<RepeatingTimer>()>;

// A precise single-shot QTimer armed again for each frame's deadline, so that the rate holds on
// average (a plain 17 ms repeat gives 58.8 Hz for 60); it keeps firing while menus track or
// windows resize, because those run nested event loops of the same thread.
class QtRepeatingTimer final : public RepeatingTimer {
public:
    void start(double intervalSeconds, std::function<void()> fire) override;
    static TimerFactory factory();

private:
    void arm();

    QTimer timer;
    QElapsedTimer clock;
    std::optional<FrameSchedule> schedule;
    std::function<void()> fire_;
};

} // namespace Tessarine
