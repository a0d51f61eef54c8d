#include "app/views/settings/SettingsWindow.h"

#include <QScreen>
#include <QShortcut>
#include <QVBoxLayout>

#include "app/model/Preferences.h"
#include "app/views/settings/SettingsView.h"
#include "app/views/kit/AccessibleWindow.h"
#include "app/views/kit/WindowPlacement.h"

namespace Tessarine {

SettingsWindow::SettingsWindow(Preferences& defaults, SettingsView* view)
    : QWidget(nullptr), defaults_(defaults), view_(view) {
    setObjectName(QStringLiteral("settings"));
    setWindowTitle(QStringLiteral("Settings"));
    AccessibleWindow::mark(*this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    if (view_) {
        layout->addWidget(view_);
        view_->setTab(tab());
        connect(view_, &SettingsView::tabChanged, this, &SettingsWindow::setTab);
    }
    setFixedSize(width, height);
    // Escape closes it, as it does the desktop's other preference windows; a picker's open list
    // or a confirmation takes its own Escape first.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WindowShortcut);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
}

QString SettingsWindow::tab() const { return defaults_.get(Settings::settingsTab); }

void SettingsWindow::setTab(const QString& tab) { defaults_.set(Settings::settingsTab, tab); }

QRect SettingsWindow::placement(QSize size, QMargins frame, QRect anchor, QRect available) {
    QRect outer(QPoint(0, 0), size.grownBy(frame));
    outer.moveCenter(anchor.center());
    return WindowPlacement::moveInto(outer, available).marginsRemoved(frame);
}

void SettingsWindow::showWindow(const QWidget* over) {
    if (view_) view_->setTab(tab());
    if (!isVisible() && over) {
        const QScreen* screen = over->screen();
        const QRect available = screen ? screen->availableGeometry() : QRect();
        // Before it is first shown the window's frame is unknown: the main window's, drawn by the
        // same window manager, stands in for it.
        const QMargins frame = WindowPlacement::frameOf(testAttribute(Qt::WA_WState_Created) ? *this : *over->window());
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
