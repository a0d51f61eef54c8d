#include "app/views/kit/MessageBoxes.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QSpacerItem>

#include <algorithm>

namespace Tessarine::MessageBoxes {

void widen(QMessageBox& box) {
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (!grid) return;
    // The title bar's font is the window manager's; the application's is a fair stand-in.
    const int title = QFontMetrics(QApplication::font()).horizontalAdvance(box.windowTitle()) + titleBarRoom;
    const int width = std::max(minimumWidth, title);
    // A message box keeps its own minimum size; a spacer across the bottom of its grid is the one
    // place that widens it without changing what it shows.
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(), 0, 1,
                  grid->columnCount());
}

QMessageBox* confirmation(QWidget* parent, const QString& title, const QString& message,
                          const QString& action, QPushButton** actionButton) {
    auto* box = new QMessageBox(QMessageBox::Warning, title, title, QMessageBox::NoButton, parent);
    box->setInformativeText(message);
    QPushButton* destructive = box->addButton(action, QMessageBox::DestructiveRole);
    if (actionButton) *actionButton = destructive;
    box->setDefaultButton(box->addButton(QMessageBox::Cancel));
    box->setAttribute(Qt::WA_DeleteOnClose);
    widen(*box);
    return box;
}

} // namespace Tessarine::MessageBoxes
