#include "app/views/settings/ReportsTab.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/model/SessionCommands.h"
#include "app/model/UserSettings.h"
#include "app/views/kit/TextField.h"
#include "app/views/settings/SettingsParts.h"

namespace Tessarine {

namespace {

// Shows `value` unless the field already holds it, so typing keeps its cursor.
void showText(QLineEdit* field, const std::string& value) {
    const QString text = QString::fromStdString(value);
    if (field->text() != text) field->setText(text);
}

} // namespace

ReportsTab::ReportsTab(UserSettings& settings, SessionCommands& commands, QWidget* parent)
    : QWidget(parent), settings_(settings), commands_(commands) {
    setObjectName(QStringLiteral("settings-reports"));
    QVBoxLayout* column = SettingsParts::scrollingColumn(*this);

    QFormLayout* rows = nullptr;
    SettingsParts::section(*column, QStringLiteral("Company"), rows);
    company_ = textField(QStringLiteral("Company name"), QStringLiteral("reports-company"));
    connect(company_, &QLineEdit::textEdited, this,
            [this](const QString& text) { settings_.setCompanyName(text.toStdString()); });
    rows->addRow(QStringLiteral("Company name"), company_);
    contact_ = textField(QStringLiteral("Contact line (phone, email or web)"), QStringLiteral("reports-contact"));
    connect(contact_, &QLineEdit::textEdited, this,
            [this](const QString& text) { settings_.setCompanyContact(text.toStdString()); });
    rows->addRow(QStringLiteral("Contact line (phone, email or web)"), contact_);

    auto* logoRow = new QWidget;
    logoRow->setObjectName(QStringLiteral("reports-logo-row"));
    auto* logoLayout = new QHBoxLayout(logoRow);
    logoLayout->setContentsMargins(0, 0, 0, 0);
    logo_ = new QLabel;
    logo_->setObjectName(QStringLiteral("reports-logo"));
    logo_->setAccessibleName(QStringLiteral("Current logo"));
    logo_->setAlignment(Qt::AlignCenter);
    remove_ = new QPushButton(QStringLiteral("Remove"));
    remove_->setObjectName(QStringLiteral("reports-logo-remove"));
    connect(remove_, &QPushButton::clicked, this, [this] { commands_.removeLogo(); });
    auto* choose = new QPushButton(QStringLiteral("Choose…"));
    choose->setObjectName(QStringLiteral("reports-logo-choose"));
    connect(choose, &QPushButton::clicked, this, [this] { commands_.importLogo(); });
    logoLayout->addWidget(logo_, 0, Qt::AlignVCenter);
    logoLayout->addWidget(remove_, 0, Qt::AlignVCenter);
    logoLayout->addWidget(choose, 0, Qt::AlignVCenter);
    logoLayout->addStretch(1);
    rows->addRow(QStringLiteral("Logo"), logoRow);

    SettingsParts::section(*column, QStringLiteral("Technician"), rows);
    technician_ = textField(QStringLiteral("Default technician"), QStringLiteral("reports-technician"));
    connect(technician_, &QLineEdit::textEdited, this,
            [this](const QString& text) { settings_.setDefaultTechnician(text.toStdString()); });
    rows->addRow(QStringLiteral("Default technician"), technician_);
    column->addStretch(1);
    SettingsParts::alignLabels(*this);

    connect(&settings_, &UserSettings::companyNameChanged, this, &ReportsTab::refresh);
    connect(&settings_, &UserSettings::companyContactChanged, this, &ReportsTab::refresh);
    connect(&settings_, &UserSettings::defaultTechnicianChanged, this, &ReportsTab::refresh);
    connect(&settings_, &UserSettings::logoChanged, this, &ReportsTab::showLogo);
    refresh();
    showLogo();
}

void ReportsTab::refresh() {
    showText(company_, settings_.companyName());
    showText(contact_, settings_.companyContact());
    showText(technician_, settings_.defaultTechnician());
}

void ReportsTab::showLogo() {
    const QImage& image = settings_.logo();
    const bool present = !image.isNull();
    logo_->setVisible(present);
    remove_->setVisible(present);
    if (!present) {
        logo_->clear();
        return;
    }
    // Fitted within the box at the screen's pixel density, so it stays sharp.
    const QSize fitted = image.size().scaled(logoWidth, logoHeight, Qt::KeepAspectRatio);
    const qreal ratio = devicePixelRatioF();
    QPixmap pixmap = QPixmap::fromImage(
        image.scaled(fitted * ratio, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    pixmap.setDevicePixelRatio(ratio);
    logo_->setFixedSize(fitted);
    logo_->setPixmap(pixmap);
}

} // namespace Tessarine
