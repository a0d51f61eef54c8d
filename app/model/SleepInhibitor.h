#pragma once
// Keeps the system from idle sleep while a long test watches a device. The hold lasts as long
// as the returned token lives; dropping the token lets the system sleep again.
//
// On Linux this is a systemd-logind inhibitor lock taken over the system D-Bus; without a bus
// (a container, a test run) nothing is held and nothing fails.
#include <QString>

#include <memory>

namespace Tessarine {

class SleepInhibitor {
public:
    // Held while it lives.
    class Token {
    public:
        virtual ~Token() = default;
    };

    virtual ~SleepInhibitor() = default;
    // Null when nothing could be held.
    virtual std::unique_ptr<Token> inhibit(const QString& why) = 0;
};

// logind's Inhibit("idle:sleep", …, "block"): the lock is the file descriptor it returns, held
// until the token closes it.
class LogindSleepInhibitor final : public SleepInhibitor {
public:
    // How long the start of a run may wait for logind, milliseconds.
    static constexpr int callTimeoutMs = 2000;
    std::unique_ptr<Token> inhibit(const QString& why) override;
};

} // namespace Tessarine
