#include "app/views/batch/BatchStageDialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/paint/Theme.h"
#include "app/views/batch/BatchTexts.h"
#include "app/views/kit/DialogButtons.h"

namespace Tessarine {

namespace {
constexpr int dialogWidth = 400; // pixels
constexpr int padding = 20;  // pixels around the content
constexpr int spacing = 12;  // pixels between the rows
} // namespace

BatchStageDialog::BatchStageDialog(const QString& stage, QWidget* parent)
    : QDialog(parent), stage_(new QLineEdit(stage)), cancel_(new QPushButton(QStringLiteral("Cancel"))),
      save_(new QPushButton(QStringLiteral("Save"))) {
    setObjectName(QStringLiteral("batch-stage-dialog"));
    setWindowTitle(BatchTexts::stageTitle());
    setWindowModality(Qt::WindowModal);
    setFixedWidth(dialogWidth);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(padding, padding, padding, padding);
    column->setSpacing(spacing);
    auto* title = new QLabel(BatchTexts::stageTitle());
    title->setFont(Fonts::headline());
    title->setWordWrap(true);
    auto* message = new QLabel(BatchTexts::stageMessage());
    message->setFont(Fonts::callout());
    message->setWordWrap(true);
    column->addWidget(title);
    column->addWidget(message);

    stage_->setObjectName(QStringLiteral("batch-stage"));
    stage_->setPlaceholderText(QStringLiteral("Stage"));
    stage_->setAccessibleName(QStringLiteral("Stage"));
    stage_->selectAll();
    column->addWidget(stage_);

    cancel_->setObjectName(QStringLiteral("batch-stage-cancel"));
    save_->setObjectName(QStringLiteral("batch-stage-save"));
    column->addLayout(dialogButtons(this, cancel_, save_));
    connect(save_, &QPushButton::clicked, this, &QDialog::accept);
}

BatchStageDialog::Answer BatchStageDialog::ask(QWidget* parent, const QString& stage) {
    BatchStageDialog dialog(stage, parent);
    const bool save = dialog.exec() == QDialog::Accepted;
    return {dialog.stageField()->text(), save};
}

} // namespace Tessarine
