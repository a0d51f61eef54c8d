#pragma once
// An invisible widget that tells its owner which window it sits in, when it is placed in one and
// whenever it moves to another; and a reader of the undo stack that a window offers.
#include <QPointer>
#include <QUndoStack>
#include <QWidget>

#include <functional>

namespace Velloway {

class WindowReader : public QWidget {
public:
    explicit WindowReader(std::function<void(QWidget* window)> found, QWidget* parent = nullptr);
    // Replaces the callback; calls it at once when the reader already sits in a window.
    void setFound(std::function<void(QWidget* window)> found);

protected:
    bool event(QEvent* event) override;

private:
    void report();
    std::function<void(QWidget*)> found_;
    QPointer<QWidget> reported_;
};

// Windows offer their undo stack as the dynamic property "undoStack" (a QUndoStack*). The reader
// reports it when `view` is shown and again whenever the window sets a new one.
class UndoStackReader : public QObject {
public:
    UndoStackReader(QWidget* view, std::function<void(QUndoStack*)> found);
    static void offer(QWidget* window, QUndoStack* stack);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void watch();
    QPointer<QWidget> view_;
    QPointer<QWidget> window_;
    std::function<void(QUndoStack*)> found_;
};

} // namespace Velloway
