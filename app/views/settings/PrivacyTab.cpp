#include "app/views/settings/PrivacyTab.h"

#include <QDir>
#include <QFormLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/model/SessionCommands.h"
#include "app/model/SessionLibrary.h"
#include "app/paint/Theme.h"
#include "app/views/kit/DestructiveButton.h"
#include "app/views/kit/MessageBoxes.h"
#include "app/views/settings/SettingsParts.h"
#include "app/views/settings/SettingsTexts.h"
#include "app/views/kit/ViewParts.h"

namespace Tessarine {

PrivacyTab::PrivacyTab(SessionLibrary& library, SessionCommands& commands, const QString& sessionsFolder,
                       QWidget* parent)
    : QWidget(parent), library_(library), commands_(commands) {
    setObjectName(QStringLiteral("settings-privacy"));
    QVBoxLayout* column = SettingsParts::scrollingColumn(*this);
    QFormLayout* rows = nullptr;
    SettingsParts::section(*column, QString(), rows);

    auto* storage = new QLabel(SettingsTexts::privacyStorage(sessionsFolder, QDir::homePath()));
    storage->setObjectName(QStringLiteral("privacy-storage"));
    storage->setWordWrap(true);
    storage->setTextInteractionFlags(Qt::TextSelectableByMouse);
    rows->addRow(storage);
    auto* inputs = ViewParts::secondaryLabel(SettingsTexts::privacyInputs(), Fonts::body());
    inputs->setObjectName(QStringLiteral("privacy-inputs"));
    rows->addRow(inputs);

    auto* erase = new DestructiveButton(QStringLiteral("Erase History…"));
    erase->setObjectName(QStringLiteral("privacy-erase"));
    connect(erase, &QPushButton::clicked, this, &PrivacyTab::askToErase);
    SettingsParts::naturalWidth(*erase);
    rows->addRow(erase);
    column->addStretch(1);
}

void PrivacyTab::askToErase() {
    if (confirm_) {
        confirm_->raise();
        return;
    }
    QPushButton* eraseButton = nullptr;
    QMessageBox* box =
        MessageBoxes::confirmation(this, QStringLiteral("Erase every saved session?"),
                                   QStringLiteral("Saved sessions are deleted from this computer."),
                                   QStringLiteral("Erase"), &eraseButton);
    box->setObjectName(QStringLiteral("privacy-confirm"));
    eraseButton->setObjectName(QStringLiteral("privacy-confirm-erase"));
    connect(box, &QMessageBox::finished, this, [this, box, eraseButton] {
        if (box->clickedButton() == eraseButton) eraseHistory();
    });
    confirm_ = box;
    box->open();
}

void PrivacyTab::eraseHistory() {
    // The folder is removed off the main thread; the outcome comes once it is gone.
    library_.eraseAllInBackground([commands = &commands_](const std::optional<std::string>& error) {
        commands->setToast(error ? *error : std::string("History erased"));
    });
}

} // namespace Tessarine
