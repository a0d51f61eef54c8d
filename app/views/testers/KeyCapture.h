#pragma once
// Key capture of the keyboard tester. While the tester captures, an application-wide event filter
// takes every key press and release addressed to the tester's own window and hands it to the
// tester, so that shortcuts (Ctrl+Q, menu keys) do not act meanwhile. Other windows' keys pass
// untouched, and nothing is filtered while capture is off.
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <cstdint>
#include <optional>

namespace Tessarine {

class Clock;
class EventClock;
class KeyboardTester;

class KeyCapture : public QObject {
    Q_OBJECT
public:
    // `view` is any widget of the tester's window; the filter follows its top-level window.
    KeyCapture(KeyboardTester& tester, EventClock& eventClock, const Clock& clock, QWidget* view);
    ~KeyCapture() override;

    // How long a release waits for a press of the same key with the same time stamp, which
    // would make the pair one auto-repeat (milliseconds). X11 sends such pairs at once.
    static constexpr int repeatPairWaitMs = 20;

    bool installed() const { return installed_; }
    // Hands a release that is still waiting for its pair to the tester now.
    void flush();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Installs the filter while the tester captures and removes it when capture ends.
    void follow();
    bool inTesterWindow(QObject* watched) const;
    void key(int linuxCode, bool down, bool autoRepeat, std::uint64_t stampMs);

    // A release that may be the first half of an unflagged auto-repeat pair.
    struct PendingRelease {
        int linuxCode = 0;
        std::uint64_t stampMs = 0;
        double t = 0;
    };

    KeyboardTester& tester_;
    EventClock& eventClock_;
    const Clock& clock_;
    QPointer<QWidget> view_;
    bool installed_ = false;
    std::optional<PendingRelease> pending_;
    QTimer pendingTimer_;
};

} // namespace Tessarine
