#pragma once
// Builds the rest of a view a slice at a time once the view has painted its first frame (or
// after a second without one), one slice per turn of the event loop among all such builds, so that a window opening on
// a large page shows and answers input while the page fills in. Other work that should follow the
// first frame goes in slices the same way.
//
// Input never meets a half-built page: a key, shortcut, mouse button, wheel or touch that
// arrives while any build has slices left first runs all of them and lays the windows out, and
// only then reaches its widget, which so answers exactly as it would in a page built at once.
//
// Off unless the application turns it on: then every slice runs as it is added, so a page built
// in a test is whole as soon as it is made.
#include <QObject>

#include <deque>
#include <functional>

class QWidget;

namespace Tessarine {

class SlicedBuild final : public QObject {
    Q_OBJECT

public:
    // The slices wait for `view`'s first paint, a second at most, and die with it: none runs
    // after it is gone.
    explicit SlicedBuild(QWidget* view);
    ~SlicedBuild() override;

    // Adds the next slice; runs it at once while slicing is off or once this build has finished.
    void add(std::function<void()> slice);
    // Runs `done` when the last slice has run (at once when none is left).
    void whenDone(std::function<void()> done);
    // Runs every slice left, now; from then on slices run as they are added. Nothing left: nothing
    // changes.
    void finish();
    bool pending() const { return !slices_.empty(); }

    static void setSlicing(bool on);
    static bool slicing();
    // Runs the slices of every build and lays out the windows they changed.
    static void finishAll();
    // Runs `work` once, on a turn after waiting input at which no build has a slice left (so
    // after the paint of the last slice's parts), or `limitMs` from now if that comes first;
    // never once `context` is gone. At once while slicing is off.
    static void whenSettled(QObject* context, std::function<void()> work, int limitMs = 2000);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void start();
    void ended();
    static void scheduleTurn();
    static void runTurn();

    QWidget* view_;
    std::deque<std::function<void()>> slices_;
    std::function<void()> done_;
    bool started_ = false;
    bool finished_ = false;
};

} // namespace Tessarine
