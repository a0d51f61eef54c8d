#include "app/views/batch/BatchStageDialog.h"

#include <QLineEdit>

#include "app/views/batch/BatchTexts.h"

namespace Tessarine {

BatchStageDialog::BatchStageDialog(const QString& stage, QWidget* parent)
    : FieldAlert({QStringLiteral("batch-stage"), BatchTexts::stageTitle(), BatchTexts::stageMessage(),
                  QStringLiteral("Stage"), stage},
                 parent) {}

BatchStageDialog::Answer BatchStageDialog::ask(QWidget* parent, const QString& stage) {
    BatchStageDialog dialog(stage, parent);
    const bool save = dialog.exec() == QDialog::Accepted;
    return {dialog.stageField()->text(), save};
}

} // namespace Tessarine
