#include "app/views/kit/ViewParts.h"

#include <QHBoxLayout>

#include "app/paint/Symbols.h"
#include "app/paint/Theme.h"

namespace Tessarine::ViewParts {

QLabel* secondaryLabel(const QString& text, const QFont& font) {
    auto* label = new QLabel(text);
    label->setFont(font);
    label->setWordWrap(true);
    QPalette muted = label->palette();
    muted.setColor(QPalette::WindowText, muted.color(QPalette::PlaceholderText));
    label->setPalette(muted);
    return label;
}

QPushButton* saveButton(const QString& objectName, const QString& title) {
    auto* button = new QPushButton(title);
    button->setObjectName(objectName);
    button->setIcon(Symbols::icon(QStringLiteral("square.and.arrow.down"), button->palette().color(QPalette::ButtonText)));
    return button;
}

QBoxLayout* header(const QString& title) {
    auto* row = new QHBoxLayout;
    row->setContentsMargins(headerMarginX, headerMarginY, headerMarginX, headerMarginY);
    auto* label = new QLabel(title);
    label->setFont(Fonts::title());
    label->setAccessibleName(title);
    row->addWidget(label);
    row->addStretch(1);
    return row;
}

} // namespace Tessarine::ViewParts
