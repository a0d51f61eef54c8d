#pragma once
// Lets an application veto closing its main window: the window's close button (and any close
// request the window system sends) is answered by `shouldClose`. One shared guard per process.
#include <QObject>
#include <QPointer>
#include <QWidget>

#include <functional>

namespace Velloway {

class CloseGuard : public QObject {
    Q_OBJECT
public:
    static CloseGuard& shared();

    // Asked before the guarded window closes; true by default.
    std::function<bool()> shouldClose = [] { return true; };

    // Guards `window` from now on; installing again on the same window changes nothing.
    void install(QWidget* window);
    QWidget* guarded() const { return main_; }
    // The close button's answer: closes the window when shouldClose() allows it.
    void closeClicked(QWidget* window);
    // Closes `window` and returns true when shouldClose() allows it; false otherwise.
    bool request(QWidget* window);
    // The active window, else the guarded one: the guarded window closes only when
    // shouldClose() allows it; any other window is asked to close as its close button would.
    void closeKeyWindow();

    // How many windows the guard watches (one filter per window, however often installed).
    int watchedWindows() const { return watched_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    CloseGuard() = default;
    void closeAllowed(QWidget* window);

    QPointer<QWidget> main_;
    int watched_ = 0;
    bool closing_ = false; // a close the guard itself allowed is let through
};

} // namespace Velloway
