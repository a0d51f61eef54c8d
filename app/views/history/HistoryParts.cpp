#include "app/views/history/HistoryParts.h"

#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>

#include "app/paint/Symbols.h"

namespace Tessarine::HistoryParts {

QPushButton* button(const QString& objectName, const QString& title, const QString& symbol) {
    auto* result = new QPushButton(title);
    result->setObjectName(objectName);
    result->setIcon(Symbols::icon(symbol, result->palette().color(QPalette::ButtonText)));
    return result;
}

void menuButton(QToolButton& button, const QString& title, const QString& symbol) {
    button.setText(title);
    button.setAccessibleName(title);
    button.setIcon(Symbols::icon(symbol, button.palette().color(QPalette::ButtonText)));
    button.setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button.setPopupMode(QToolButton::InstantPopup);
    button.setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QAction* menuHeader(QMenu& menu, const QString& title) {
    QAction* header = menu.addAction(title);
    header->setEnabled(false);
    QFont font = header->font();
    font.setWeight(QFont::DemiBold);
    header->setFont(font);
    return header;
}

QLabel* selectableText(const QString& text) {
    auto* label = new QLabel(text);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

} // namespace Tessarine::HistoryParts
