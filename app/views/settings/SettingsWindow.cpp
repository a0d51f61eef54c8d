#include "app/views/settings/SettingsWindow.h"

#include <QScreen>
#include <QVBoxLayout>

#include "app/model/Preferences.h"
#include "app/views/settings/SettingsView.h"

namespace Tessarine {

SettingsWindow::SettingsWindow(Preferences& defaults, SettingsView* view)
    : QWidget(nullptr), defaults_(defaults), view_(view) {
    setObjectName(QStringLiteral("settings"));
    setWindowTitle(QStringLiteral("Settings"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    if (view_) {
        layout->addWidget(view_);
        view_->setTab(tab());
        connect(view_, &SettingsView::tabChanged, this, &SettingsWindow::setTab);
    }
    setFixedSize(width, height);
}

QString SettingsWindow::tab() const { return defaults_.get(Settings::settingsTab); }

void SettingsWindow::setTab(const QString& tab) { defaults_.set(Settings::settingsTab, tab); }

QRect SettingsWindow::placement(QSize size, QMargins frame, QRect anchor, QRect available) {
    QRect outer(QPoint(0, 0), size.grownBy(frame));
    outer.moveCenter(anchor.center());
    // Right and bottom edges first, then left and top, so that the top-left corner wins when
    // the window is larger than the screen.
    if (outer.right() > available.right()) outer.moveRight(available.right());
    if (outer.bottom() > available.bottom()) outer.moveBottom(available.bottom());
    if (outer.left() < available.left()) outer.moveLeft(available.left());
    if (outer.top() < available.top()) outer.moveTop(available.top());
    return outer.marginsRemoved(frame);
}

void SettingsWindow::showWindow(const QWidget* over) {
    if (view_) view_->setTab(tab());
    if (!isVisible() && over) {
        const QScreen* screen = over->screen();
        const QRect available = screen ? screen->availableGeometry() : QRect();
        // Before it is first shown the window's frame is unknown: the main window's, drawn by the
        // same window manager, stands in for it.
        const QWidget* framed = testAttribute(Qt::WA_WState_Created) ? this : over->window();
        const QMargins frame(framed->geometry().left() - framed->frameGeometry().left(),
                             framed->geometry().top() - framed->frameGeometry().top(),
                             framed->frameGeometry().right() - framed->geometry().right(),
                             framed->frameGeometry().bottom() - framed->geometry().bottom());
        const QRect outer = geometry().marginsAdded(frame);
        const bool placedBefore = testAttribute(Qt::WA_Moved);
        if (available.isValid() && (!placedBefore || !available.contains(outer)))
            setGeometry(placement(size(), frame, over->window()->frameGeometry(), available));
    }
    show();
    raise();
    activateWindow();
}

} // namespace Tessarine
