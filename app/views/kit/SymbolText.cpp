#include "app/views/kit/SymbolText.h"

#include <QHBoxLayout>

#include "app/paint/Symbols.h"

namespace Tessarine {

namespace {
constexpr int iconSide = 14; // pixels
} // namespace

SymbolText::SymbolText(QWidget* parent) : QWidget(parent), icon_(new QLabel), text_(new QLabel) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(6);
    icon_->setFixedSize(iconSide, iconSide);
    icon_->setAccessibleName(QString());
    row->addWidget(icon_);
    row->addWidget(text_, 1);
}

void SymbolText::set(const QString& symbol, const QColor& color, const QString& text) {
    if (symbol != symbol_ || color != color_) {
        symbol_ = symbol;
        color_ = color;
        icon_->setPixmap(Symbols::icon(symbol, color).pixmap(iconSide, iconSide));
    }
    text_->setText(text);
    QPalette tinted = text_->palette();
    tinted.setColor(QPalette::WindowText, color);
    text_->setPalette(tinted);
    setAccessibleName(text);
}

} // namespace Tessarine
