#pragma once
// Every way of quitting goes through the wait for the session writes (QuitWait): Quit (Ctrl+Q),
// closing the last window, and the signals. A last window asked to close while writes are
// pending stays open while the quit waits; once a moment has passed the wait is shown over it
// (QuitWaitDialog). When the quit may go ahead, every window is closed, and for a signal the
// event loop ends as well, should a window refuse.
#include <QObject>
#include <QPointer>
#include <QString>

#include "app/model/QuitWait.h"
#include "app/views/shell/QuitWaitDialog.h"

class QWidget;

namespace Tessarine {


class QuitGuard final : public QObject {
    Q_OBJECT

public:
    // Watches the application's windows from now on; `main` carries the wait while it is shown.
    QuitGuard(QuitWait& wait, QWidget* main, QObject* parent = nullptr);
    ~QuitGuard() override;

    // Quit, asked for by the user (`why` empty) or a signal (named in `why`).
    void quit(QuitWait::Asker asker, const QString& why = {});
    // The wait shown, or null.
    QuitWaitDialog* dialog() const { return dialog_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showWaiting();
    void quitNow();

    QuitWait& wait_;
    QPointer<QWidget> main_;
    // The last window the user asked to close, which carries the wait when the main one is hidden.
    QPointer<QWidget> closing_;
    QPointer<QuitWaitDialog> dialog_;
    bool bySignal_ = false;
};

} // namespace Tessarine
