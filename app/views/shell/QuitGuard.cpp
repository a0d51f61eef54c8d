#include "app/views/shell/QuitGuard.h"

#include <QApplication>
#include <QCloseEvent>
#include <QWidget>

#include "app/views/shell/QuitWaitDialog.h"

namespace Tessarine {

namespace {

// Whether closing `window` counts towards quitting: Qt quits once no such window is visible.
bool quitsOnClose(const QWidget* window) {
    if (!window->isWindow() || window->parentWidget() || !window->testAttribute(Qt::WA_QuitOnClose)) return false;
    const Qt::WindowType type = window->windowType();
    return type != Qt::Popup && type != Qt::ToolTip && type != Qt::Desktop;
}

// Whether `window` is the last visible window whose closing quits the application.
bool lastWindow(const QWidget* window) {
    if (!quitsOnClose(window)) return false;
    for (const QWidget* other : QApplication::topLevelWidgets())
        if (other != window && other->isVisible() && quitsOnClose(other)) return false;
    return true;
}

} // namespace

QuitGuard::QuitGuard(QuitWait& wait, QWidget* main, QObject* parent) : QObject(parent), wait_(wait), main_(main) {
    connect(&wait_, &QuitWait::showWaiting, this, &QuitGuard::showWaiting);
    connect(&wait_, &QuitWait::quitNow, this, &QuitGuard::quitNow);
    qApp->installEventFilter(this);
}

QuitGuard::~QuitGuard() {
    qApp->removeEventFilter(this);
    delete dialog_.data();
}

void QuitGuard::quit(QuitWait::Asker asker, const QString& why) {
    if (asker == QuitWait::Asker::signal) bySignal_ = true;
    wait_.request(asker, why);
}

bool QuitGuard::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::Close || wait_.released() || !watched->isWidgetType()) return false;
    auto* window = static_cast<QWidget*>(watched);
    if (!lastWindow(window) || wait_.pending().empty()) return false;
    // Kept open while the writes land; it closes with the others when the quit goes ahead.
    event->ignore();
    closing_ = window;
    wait_.request(QuitWait::Asker::user);
    return true;
}

void QuitGuard::showWaiting() {
    QWidget* parent = main_ && main_->isVisible() ? main_.data() : closing_.data();
    if (!dialog_) dialog_ = new QuitWaitDialog(wait_, parent);
    // Not exec(): the wait's own timer and the writes' landings run on this loop meanwhile.
    dialog_->open();
}

void QuitGuard::quitNow() {
    if (dialog_) dialog_->hide();
    QApplication::closeAllWindows();
    if (bySignal_) QApplication::exit(0);
}

} // namespace Tessarine
