#pragma once
// Quitting while session writes the user asked for (saves, deletes, the erasing of every
// session) are still on their way to the disk waits for them rather than dropping them. A quick
// write lands unseen; one that takes longer than a moment is shown ("Saving 1 session…"), and
// the user may quit anyway, told what that loses. A quit asked for by a signal (logging out, a
// closed terminal) waits without asking anyone, for at most as long as a desktop's logout allows,
// and the log names what was not done yet. The application quits by itself once the writes land.
// Writes not done at the quit get a moment more at shutdown, after which the log names those
// lost, and only those (AppModel::shutdown).
//
// Exports and reports are not waited for: quitting cancels an export (its file never appears
// half-written), and the file work left then gets a bounded time at shutdown (AppModel).
//
// Main thread only.
#include <QObject>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

#include "app/base/Clock.h"
#include "app/base/RepeatingTimer.h"
#include "testkit/PendingWrites.h"

namespace Tessarine {

class SessionLibrary;

class QuitWait : public QObject {
    Q_OBJECT

public:
    enum class Asker { user, signal };

    // How long a quit the user asked for waits before it shows what it waits for: a save on a
    // healthy disk lands well within it, and the user sees nothing.
    static constexpr double quietSeconds = 0.4;
    // How long a quit a signal asked for waits at most.
    static constexpr double signalSeconds = 10;
    // How often a wait looks at the clock.
    static constexpr double checkInterval = 0.05;

    QuitWait(SessionLibrary& library, const Clock& clock, TimerFactory timers, QObject* parent = nullptr);
    ~QuitWait() override;

    // Asks to quit: quitNow() comes at once when nothing is pending, else once everything pending
    // has landed or, for a signal, after signalSeconds at most. Asked by the user, showWaiting()
    // comes once quietSeconds have passed. `why` names the signal in the log.
    void request(Asker asker, const QString& why = {});
    // The user quits without waiting: the log names what is not done yet, and quitNow() comes.
    void quitAnyway();
    // The user goes back to the application: nothing quits, unless a signal asked for it too.
    void cancel();

    bool waiting() const { return waiting_; }
    // True from showWaiting() until the quit or the cancel.
    bool showing() const { return showing_; }
    // True once quitNow() came: from then on every window may close.
    bool released() const { return released_; }
    std::vector<RorozErurEvo::PendingWrite> pending() const;

signals:
    // A moment passed and the writes have not landed: show the user what the quit waits for.
    void showWaiting();
    // What is pending changed while a quit waits.
    void pendingChanged();
    // Quit now: the writes landed, the user quit anyway, or a signal's wait ran out.
    void quitNow();

private:
    void check();
    void release();

    SessionLibrary& library_;
    const Clock& clock_;
    TimerFactory timers_;
    std::unique_ptr<RepeatingTimer> timer_;
    bool waiting_ = false;
    bool showing_ = false;
    bool released_ = false;
    // When the user's quit shows itself; absent while the user does not wait.
    std::optional<double> showAt_;
    // When a signal's quit stops waiting; absent without one.
    std::optional<double> giveUpAt_;
    QString signal_;
};

} // namespace Tessarine
