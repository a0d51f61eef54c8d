#include "app/views/kit/SlicedBuild.h"

#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

#include "app/views/kit/AfterInput.h"

namespace Tessarine {

namespace {

bool slicingOn = false;

// Milliseconds a build waits for its view's first paint at most: a view that is not painted (a
// window opened minimised or on another desktop) still gets built, and what else waits with it
// still runs.
constexpr int paintWaitLimitMs = 1000;

// The builds that have slices left, oldest first.
std::vector<SlicedBuild*>& unfinished() {
    static std::vector<SlicedBuild*> builds;
    return builds;
}

bool isInput(QEvent::Type type) {
    switch (type) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::InputMethod:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::TouchBegin:
    case QEvent::TabletPress:
    case QEvent::ContextMenu:
        return true;
    default:
        return false;
    }
}

// Watches the whole application while a build has slices left: input finishes every build
// before it is delivered.
class InputWatch final : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override {
        if (isInput(event->type())) SlicedBuild::finishAll();
        return false;
    }
};

InputWatch*& watch() {
    static InputWatch* installed = nullptr;
    return installed;
}

void enlist(SlicedBuild* build) {
    auto& builds = unfinished();
    if (std::find(builds.begin(), builds.end(), build) != builds.end()) return;
    builds.push_back(build);
    if (!watch() && QCoreApplication::instance()) {
        watch() = new InputWatch;
        QCoreApplication::instance()->installEventFilter(watch());
    }
}

// Work waiting for every build to finish, each to run once (the limit's timer holds it too).
std::vector<std::pair<QPointer<QObject>, std::shared_ptr<std::function<void()>>>>& settling() {
    static std::vector<std::pair<QPointer<QObject>, std::shared_ptr<std::function<void()>>>> waiting;
    return waiting;
}

void runOnce(const std::shared_ptr<std::function<void()>>& work) {
    if (*work) std::exchange(*work, nullptr)();
}

// Runs the settled work on a later turn if no build has a slice left by then: a build made
// meanwhile (a page rebuilt by what the last slice started) is waited for as well.
void checkSettled() {
    if (settling().empty() || !unfinished().empty() || !QCoreApplication::instance()) return;
    AfterInput::run(QCoreApplication::instance(), [] {
        if (!unfinished().empty()) return;
        auto waiting = std::exchange(settling(), {});
        for (auto& [context, work] : waiting)
            if (context) runOnce(work);
    });
}

void discharge(SlicedBuild* build) {
    auto& builds = unfinished();
    builds.erase(std::remove(builds.begin(), builds.end(), build), builds.end());
    if (builds.empty()) checkSettled();
    if (builds.empty() && watch()) {
        // Removed from the filter list at once; deleted once the event that may be filtering
        // now has passed.
        if (QCoreApplication::instance()) QCoreApplication::instance()->removeEventFilter(watch());
        watch()->deleteLater();
        watch() = nullptr;
    }
}

} // namespace

SlicedBuild::SlicedBuild(QWidget* view) : QObject(view), view_(view), finished_(!slicingOn) {
    if (finished_) return;
    view_->installEventFilter(this);
    QTimer::singleShot(paintWaitLimitMs, this, [this] {
        if (!started_) start();
    });
}

SlicedBuild::~SlicedBuild() { discharge(this); }

void SlicedBuild::setSlicing(bool on) { slicingOn = on; }

bool SlicedBuild::slicing() { return slicingOn; }

void SlicedBuild::add(std::function<void()> slice) {
    if (finished_) {
        slice();
        return;
    }
    slices_.push_back(std::move(slice));
    enlist(this);
    if (started_) scheduleTurn();
}

void SlicedBuild::whenDone(std::function<void()> done) {
    if (slices_.empty()) {
        done();
        return;
    }
    done_ = std::move(done);
}

bool SlicedBuild::eventFilter(QObject* watched, QEvent* event) {
    // The first paint has begun: the slices start on the turn after it.
    if (watched == view_ && event->type() == QEvent::Paint && !started_) start();
    return false;
}

void SlicedBuild::start() {
    started_ = true;
    view_->removeEventFilter(this);
    scheduleTurn();
}

void SlicedBuild::scheduleTurn() {
    static bool scheduled = false;
    if (scheduled || !QCoreApplication::instance()) return;
    scheduled = true;
    // Input that came while a slice ran is answered before the next slice.
    AfterInput::run(QCoreApplication::instance(), [] {
        scheduled = false;
        runTurn();
    });
}

void SlicedBuild::runTurn() {
    // One slice a turn among all the builds that have started, taking them in rotation.
    auto& builds = unfinished();
    const auto next = std::find_if(builds.begin(), builds.end(), [](SlicedBuild* b) { return b->started_; });
    if (next == builds.end()) return;
    SlicedBuild* build = *next;
    builds.erase(next);
    builds.push_back(build);
    if (build->slices_.empty()) {
        build->ended();
        scheduleTurn();
        return;
    }
    std::function<void()> slice = std::move(build->slices_.front());
    build->slices_.pop_front();
    // The slice may delete a build, this one included: look it up again afterwards.
    slice();
    if (std::find(builds.begin(), builds.end(), build) != builds.end() && build->slices_.empty()) build->ended();
    if (std::any_of(builds.begin(), builds.end(), [](SlicedBuild* b) { return b->started_; })) scheduleTurn();
}

void SlicedBuild::finish() {
    if (finished_ || slices_.empty()) return;
    if (!started_) {
        started_ = true;
        view_->removeEventFilter(this);
    }
    while (!slices_.empty()) {
        std::function<void()> slice = std::move(slices_.front());
        slices_.pop_front();
        slice();
    }
    ended();
}

void SlicedBuild::ended() {
    finished_ = true;
    discharge(this);
    if (done_) std::exchange(done_, nullptr)();
}

void SlicedBuild::whenSettled(QObject* context, std::function<void()> work, int limitMs) {
    if (!slicingOn) {
        work();
        return;
    }
    auto once = std::make_shared<std::function<void()>>(std::move(work));
    QTimer::singleShot(limitMs, context, [once] { runOnce(once); });
    settling().emplace_back(context, once);
    checkSettled();
}

void SlicedBuild::finishAll() {
    if (unfinished().empty()) return;
    // A slice may delete another build (its view with it): take them one at a time.
    while (!unfinished().empty()) {
        SlicedBuild* build = unfinished().front();
        if (build->slices_.empty())
            build->ended();
        else
            build->finish();
    }
    // The new parts take their places before the input that finished them looks for a widget
    // under the pointer or in the focus chain. Laying out one level may ask the next.
    for (int pass = 0; pass < 8; ++pass) QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
}

} // namespace Tessarine
