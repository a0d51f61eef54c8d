#pragma once
// A push button whose action can't be undone ("Erase History…", "Delete"): its text in the
// destructive red, kept readable on the button in the light and the dark scheme.
#include <QPushButton>

namespace Tessarine {

class DestructiveButton : public QPushButton {
    Q_OBJECT

public:
    explicit DestructiveButton(const QString& text, QWidget* parent = nullptr);

protected:
    void changeEvent(QEvent* event) override;

private:
    void applyColour();
};

} // namespace Tessarine
