#pragma once
// The question "Save All…" asks first: the stage every new session is labelled with. A small
// window-modal alert with the stage field, "Save" (the default button) and "Cancel"; Escape and
// closing the window count as Cancel.
#include <QDialog>

class QLineEdit;
class QPushButton;

namespace Tessarine {

class BatchStageDialog : public QDialog {
    Q_OBJECT

public:
    // What the user left in the field, and whether they chose to save.
    struct Answer {
        QString stage;
        bool save = false;
    };

    BatchStageDialog(const QString& stage, QWidget* parent = nullptr);

    QLineEdit* stageField() const { return stage_; }
    QPushButton* saveButton() const { return save_; }
    QPushButton* cancelButton() const { return cancel_; }

    // Shows the alert over `parent` and waits for the answer.
    static Answer ask(QWidget* parent, const QString& stage);

private:
    QLineEdit* stage_;
    QPushButton* cancel_;
    QPushButton* save_;
};

} // namespace Tessarine
