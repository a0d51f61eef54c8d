#pragma once
// A small window-modal alert that asks for one line of text: a headline, a message, the field under
// its label (prefilled and selected, so typing replaces it), "Cancel" and "Save" (the default
// button). Escape and closing the window count as Cancel. Object names follow one prefix: the alert
// is "<prefix>-dialog", the field "<prefix>", its label "<prefix>-label", the buttons
// "<prefix>-cancel" and "<prefix>-save".
#include <QDialog>

class QLineEdit;
class QPushButton;

namespace Tessarine {

class FieldAlert : public QDialog {
    Q_OBJECT

public:
    struct Texts {
        QString prefix;
        QString title;   // the headline and the window title
        QString message;
        QString field;   // the field's label, placeholder and accessible name
        QString text;    // what the field holds at first
    };

    explicit FieldAlert(const Texts& texts, QWidget* parent = nullptr);

    QLineEdit* field() const { return field_; }
    QPushButton* saveButton() const { return save_; }
    QPushButton* cancelButton() const { return cancel_; }

private:
    QLineEdit* field_;
    QPushButton* cancel_;
    QPushButton* save_;
};

} // namespace Tessarine
