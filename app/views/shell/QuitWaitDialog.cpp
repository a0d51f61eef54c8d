#include "app/views/shell/QuitWaitDialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/model/QuitWait.h"
#include "app/paint/Theme.h"
#include "app/views/kit/DestructiveButton.h"
#include "app/views/kit/MessageBoxes.h"

namespace Tessarine {

QuitWaitDialog::QuitWaitDialog(QuitWait& wait, QWidget* parent)
    : QDialog(parent), wait_(wait), heading_(new QLabel), loss_(new QLabel),
      cancel_(new QPushButton(QStringLiteral("Cancel"))), anyway_(new DestructiveButton(QStringLiteral("Quit Anyway"))) {
    setObjectName(QStringLiteral("quit-wait"));
    setWindowTitle(QStringLiteral("Quit Tessarine"));
    setWindowModality(Qt::WindowModal);
    setMinimumWidth(MessageBoxes::minimumWidth);
    heading_->setObjectName(QStringLiteral("quit-wait-heading"));
    heading_->setFont(Fonts::headline());
    auto* note = new QLabel(QStringLiteral("Tessarine quits by itself once this is written."));
    note->setWordWrap(true);
    auto* bar = new QProgressBar;
    bar->setObjectName(QStringLiteral("quit-wait-bar"));
    bar->setRange(0, 0);
    bar->setTextVisible(false);
    bar->setAccessibleName(QStringLiteral("Writing to the disk"));
    loss_->setObjectName(QStringLiteral("quit-wait-loss"));
    loss_->setWordWrap(true);
    loss_->setFont(Fonts::callout());
    cancel_->setObjectName(QStringLiteral("quit-wait-cancel"));
    anyway_->setObjectName(QStringLiteral("quit-wait-anyway"));
    // Return and Escape both go back: quitting anyway loses work, so it is never the default.
    cancel_->setDefault(true);
    anyway_->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(anyway_);
    buttons->addWidget(cancel_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 18, 20, 16);
    layout->setSpacing(10);
    layout->addWidget(heading_);
    layout->addWidget(note);
    layout->addWidget(bar);
    layout->addWidget(loss_);
    layout->addSpacing(6);
    layout->addLayout(buttons);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    connect(anyway_, &QPushButton::clicked, this, [this] { wait_.quitAnyway(); });
    connect(this, &QDialog::rejected, this, [this] { wait_.cancel(); });
    connect(&wait_, &QuitWait::pendingChanged, this, &QuitWaitDialog::refresh);
    refresh();
}

void QuitWaitDialog::showEvent(QShowEvent* event) {
    // Shown again after a cancel: what is pending may have changed meanwhile.
    refresh();
    cancel_->setFocus();
    QDialog::showEvent(event);
}

void QuitWaitDialog::refresh() {
    const auto pending = wait_.pending();
    heading_->setText(QString::fromStdString(RorozErurEvo::PendingWrites::heading(pending)));
    loss_->setText(QString::fromStdString(RorozErurEvo::PendingWrites::loss(pending)));
    setAccessibleDescription(loss_->text());
}

} // namespace Tessarine
