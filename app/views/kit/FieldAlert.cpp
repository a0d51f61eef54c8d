#include "app/views/kit/FieldAlert.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/paint/Theme.h"
#include "app/views/kit/DialogButtons.h"

namespace Tessarine {

namespace {
constexpr int dialogWidth = 400; // pixels
constexpr int alertPadding = 20;      // pixels around the content
constexpr int alertRowSpacing = 12;      // pixels between the rows
} // namespace

FieldAlert::FieldAlert(const Texts& texts, QWidget* parent)
    : QDialog(parent), field_(new QLineEdit(texts.text)), cancel_(new QPushButton(QStringLiteral("Cancel"))),
      save_(new QPushButton(QStringLiteral("Save"))) {
    setObjectName(texts.prefix + QStringLiteral("-dialog"));
    setWindowTitle(texts.title);
    setWindowModality(Qt::WindowModal);
    setFixedWidth(dialogWidth);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(alertPadding, alertPadding, alertPadding, alertPadding);
    column->setSpacing(alertRowSpacing);
    auto* title = new QLabel(texts.title);
    title->setFont(Fonts::headline());
    title->setWordWrap(true);
    auto* message = new QLabel(texts.message);
    message->setFont(Fonts::callout());
    message->setWordWrap(true);
    column->addWidget(title);
    column->addWidget(message);

    field_->setObjectName(texts.prefix);
    field_->setPlaceholderText(texts.field);
    field_->setAccessibleName(texts.field);
    field_->selectAll();
    field_->setFocus();
    // The field is prefilled, so its placeholder never shows: a label names it, close above it.
    auto* label = new QLabel(texts.field);
    label->setObjectName(texts.prefix + QStringLiteral("-label"));
    label->setBuddy(field_);
    auto* labelled = new QVBoxLayout;
    labelled->setSpacing(4);
    labelled->addWidget(label);
    labelled->addWidget(field_);
    column->addLayout(labelled);

    cancel_->setObjectName(texts.prefix + QStringLiteral("-cancel"));
    save_->setObjectName(texts.prefix + QStringLiteral("-save"));
    column->addLayout(dialogButtons(this, cancel_, save_));
    connect(save_, &QPushButton::clicked, this, &QDialog::accept);
}

} // namespace Tessarine
