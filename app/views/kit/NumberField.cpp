#include "app/views/kit/NumberField.h"

#include "app/views/kit/NumberText.h"

namespace Tessarine {

NumberField::NumberField(int digits, int width, QWidget* parent) : QLineEdit(parent), digits_(digits) {
    setFixedWidth(width);
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    connect(this, &QLineEdit::editingFinished, this, &NumberField::commit);
    showValue();
}

void NumberField::setValue(double value) {
    value_ = value;
    if (!isModified()) showValue();
}

void NumberField::showValue() {
    const QString text = NumberText::text(value_, digits_);
    if (this->text() != text) setText(text);
}

void NumberField::commit() {
    if (!isModified()) return;
    setModified(false);
    if (auto typed = NumberText::parse(text())) emit committed(*typed);
    else emit unreadable(text());
    // The receiver has stored what it keeps (setValue), or nothing; show that either way, so a
    // clamped or refused entry does not linger in the field.
    showValue();
}

} // namespace Tessarine
