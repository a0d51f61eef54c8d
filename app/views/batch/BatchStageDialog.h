#pragma once
// The question "Save All…" asks first: the stage every new session is labelled with. A small
// window-modal alert with the stage field, "Save" (the default button) and "Cancel"; Escape and
// closing the window count as Cancel.
#include "app/views/kit/FieldAlert.h"

namespace Tessarine {

class BatchStageDialog : public FieldAlert {
    Q_OBJECT

public:
    // What the user left in the field, and whether they chose to save.
    struct Answer {
        QString stage;
        bool save = false;
    };

    BatchStageDialog(const QString& stage, QWidget* parent = nullptr);

    QLineEdit* stageField() const { return field(); }

    // Shows the alert over `parent` and waits for the answer.
    static Answer ask(QWidget* parent, const QString& stage);
};

} // namespace Tessarine
