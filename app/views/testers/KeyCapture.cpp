#include "app/views/testers/KeyCapture.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLoggingCategory>
#include <QWindow>

#include <utility>

#include "app/base/Clock.h"
#include "app/model/EventClock.h"
#include "app/model/KeyboardTester.h"

namespace Tessarine {

namespace {
// X11 and Wayland both report the evdev code lifted by 8 as the native scan code.
constexpr quint32 evdevOffset = 8;
} // namespace

KeyCapture::KeyCapture(KeyboardTester& tester, EventClock& eventClock, const Clock& clock, QWidget* view)
    : QObject(view), tester_(tester), eventClock_(eventClock), clock_(clock), view_(view) {
    pendingTimer_.setSingleShot(true);
    pendingTimer_.setInterval(repeatPairWaitMs);
    connect(&pendingTimer_, &QTimer::timeout, this, &KeyCapture::flush);
    connect(&tester_, &KeyboardTester::changed, this, &KeyCapture::follow);
    follow();
}

KeyCapture::~KeyCapture() {
    if (installed_) QCoreApplication::instance()->removeEventFilter(this);
}

void KeyCapture::follow() {
    const bool want = tester_.capturing() && view_;
    if (!tester_.capturing()) pending_.reset();
    if (want == installed_) return;
    if (want)
        QCoreApplication::instance()->installEventFilter(this);
    else
        QCoreApplication::instance()->removeEventFilter(this);
    installed_ = want;
}

bool KeyCapture::inTesterWindow(QObject* watched) const {
    if (!view_) return false;
    QWidget* window = view_->window();
    if (auto* widget = qobject_cast<QWidget*>(watched)) return widget->window() == window;
    if (auto* handle = qobject_cast<QWindow*>(watched)) return window->windowHandle() == handle;
    return false;
}

bool KeyCapture::eventFilter(QObject* watched, QEvent* event) {
    const auto type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease && type != QEvent::ShortcutOverride) return false;
    if (!tester_.capturing() || !inTesterWindow(watched)) return false;
    if (type == QEvent::ShortcutOverride) {
        // Accepting the override keeps the key from triggering a shortcut; the press follows.
        event->accept();
        return true;
    }
    auto* key = static_cast<QKeyEvent*>(event);
    // A synthetic event carries no physical key.
    if (key->nativeScanCode() <= evdevOffset) return true;
    this->key(int(key->nativeScanCode() - evdevOffset), type == QEvent::KeyPress, key->isAutoRepeat(),
              key->timestamp());
    return true;
}

// The X server repeats a held key as a release and a press with the same time stamp, and Qt does
// not always flag them (it only looks for the press when the release arrives). Such a pair is
// one repeat; any other release is handed on once the next event shows it was real, or after a
// short wait. The tester records the event's own time either way.
void KeyCapture::key(int linuxCode, bool down, bool autoRepeat, std::uint64_t stampMs) {
    const double t = eventClock_.toUptime(stampMs, clock_.now());
    if (pending_) {
        const bool pair = down && pending_->linuxCode == linuxCode && pending_->stampMs == stampMs;
        if (pair) {
            pending_.reset();
            pendingTimer_.stop();
            tester_.linuxKey(linuxCode, true, true, t);
            return;
        }
        flush();
    }
    if (!down && !autoRepeat) {
        pending_ = PendingRelease{linuxCode, stampMs, t};
        pendingTimer_.start();
        return;
    }
    tester_.linuxKey(linuxCode, down, autoRepeat, t);
}

void KeyCapture::flush() {
    pendingTimer_.stop();
    if (auto release = std::exchange(pending_, std::nullopt)) tester_.linuxKey(release->linuxCode, false, false, release->t);
}

} // namespace Tessarine
