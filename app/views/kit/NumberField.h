#pragma once
// A number field of the settings window. It shows a value rounded to a few decimals and commits
// what the user typed when editing finishes (Return or leaving the field), only if the text was
// changed: passing through a field never rewrites its value with the rounded one. Text that is not
// one finite number ("inf", "nan", "abc") puts the shown value back, commits nothing and is
// reported as unreadable so the caller can say why.
#include <QLineEdit>

namespace Tessarine {

class NumberField : public QLineEdit {
    Q_OBJECT

public:
    // `digits`: the most decimals shown; `width`: the field's width in pixels.
    NumberField(int digits, int width, QWidget* parent = nullptr);

    double value() const { return value_; }
    // Shows `value`, unless the user is typing in the field.
    void setValue(double value);

signals:
    // A finite number the user typed, as typed; the receiver decides what it stores.
    void committed(double typed);
    // Text that is not one finite number, as typed.
    void unreadable(const QString& text);

private:
    void commit();
    void showValue();

    int digits_;
    double value_ = 0;
};

} // namespace Tessarine
