#pragma once
// What a quit waits for, shown once the session writes it waits for take longer than a moment:
// "Saving 1 session…" over a moving bar, what quitting now would lose, Cancel (the default, as
// Escape and Return are: back to the application, the writes go on) and Quit Anyway. It follows
// the writes as they land, and its owner closes it when the application quits.
#include <QDialog>

class QLabel;
class QPushButton;

namespace Tessarine {

class QuitWait;

class QuitWaitDialog final : public QDialog {
    Q_OBJECT

public:
    QuitWaitDialog(QuitWait& wait, QWidget* parent);

    QLabel& heading() const { return *heading_; }
    QLabel& loss() const { return *loss_; }
    QPushButton& cancelButton() const { return *cancel_; }
    QPushButton& quitAnywayButton() const { return *anyway_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void refresh();

    QuitWait& wait_;
    QLabel* heading_;
    QLabel* loss_;
    QPushButton* cancel_;
    QPushButton* anyway_;
};

} // namespace Tessarine
