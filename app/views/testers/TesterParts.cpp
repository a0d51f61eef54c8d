#include "app/views/testers/TesterParts.h"

#include <QFrame>
#include <QHBoxLayout>

#include "app/paint/Symbols.h"
#include "app/paint/Theme.h"

namespace Tessarine::TesterParts {

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

QWidget* divider() {
    auto* line = new QFrame;
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Plain);
    line->setForegroundRole(QPalette::Mid);
    return line;
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

} // namespace Tessarine::TesterParts

namespace Tessarine::TesterParts {

namespace {
constexpr int symbolSide = 14; // pixels
} // namespace

SymbolText::SymbolText(QWidget* parent) : QWidget(parent), icon_(new QLabel), text_(new QLabel) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(6);
    icon_->setFixedSize(symbolSide, symbolSide);
    icon_->setAccessibleName(QString());
    row->addWidget(icon_);
    row->addWidget(text_, 1);
}

void SymbolText::set(const QString& symbol, const QColor& color, const QString& text) {
    if (symbol != symbol_ || color != color_) {
        symbol_ = symbol;
        color_ = color;
        icon_->setPixmap(Symbols::icon(symbol, color).pixmap(symbolSide, symbolSide));
    }
    text_->setText(text);
    QPalette tinted = text_->palette();
    tinted.setColor(QPalette::WindowText, color);
    text_->setPalette(tinted);
    setAccessibleName(text);
}

} // namespace Tessarine::TesterParts
