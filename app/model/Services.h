#pragma once
// The few platform services the model needs, behind small interfaces so that the model runs
// headless in tests: hopping to the main thread, speaking to accessibility clients and knowing
// whether the application is in front. The clock is app/base/Clock.h.
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>


namespace Tessarine {

// Runs work on the main thread later, from any thread.
class MainExecutor {
public:
    virtual ~MainExecutor() = default;
    virtual void post(std::function<void()> work) = 0;
};

// The application's event loop: work runs on the thread of `context` (the main thread), in the
// order posted. `context` must outlive every poster; the application's own object does.
class QueuedExecutor final : public MainExecutor {
public:
    explicit QueuedExecutor(QObject* context) : context_(context) {}
    void post(std::function<void()> work) override;

private:
    QObject* context_;
};

// Speaks the start and outcome of tests to accessibility clients. Every text is kept, in
// order, so tests can read what was said; the window layer installs `speak`, which raises the
// accessibility event on a live-region label.
class Announcer {
public:
    void announce(const QString& text);
    const QStringList& spoken() const { return spoken_; }
    std::function<void(const QString&)> speak;

private:
    QStringList spoken_;
};

// Whether the application is the active one (in front, with a focused window).
class AppActivity {
public:
    virtual ~AppActivity() = default;
    virtual bool isActive() const = 0;
};

// The running application's state, from QGuiApplication.
class GuiAppActivity final : public AppActivity {
public:
    bool isActive() const override;
};

} // namespace Tessarine
