#pragma once
// A repeating callback on the main thread's event loop, behind an interface so that tests can
// count timers and fire them by hand.
#include <QTimer>

#include <functional>
#include <memory>

namespace Tessarine {

class RepeatingTimer {
public:
    virtual ~RepeatingTimer() = default;
    // Calls `fire` every `intervalSeconds` until the timer is destroyed.
    virtual void start(double intervalSeconds, std::function<void()> fire) = 0;
};

using TimerFactory = std::function<std::unique_ptr<RepeatingTimer>()>;

// A precise QTimer; it keeps firing while menus track or windows resize, because those run
// nested event loops of the same thread.
class QtRepeatingTimer final : public RepeatingTimer {
public:
    void start(double intervalSeconds, std::function<void()> fire) override;
    static TimerFactory factory();

private:
    QTimer timer;
};

} // namespace Tessarine
