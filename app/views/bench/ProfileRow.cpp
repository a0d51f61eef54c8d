#include "app/views/bench/ProfileRow.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QToolButton>

#include "app/devices/InputDevice.h"
#include "app/model/UserSettings.h"
#include "app/paint/Symbols.h"
#include "app/paint/Theme.h"
#include "app/views/bench/BenchTexts.h"
#include "app/views/kit/ElidedLabel.h"
#include "app/views/kit/MenuButton.h"

namespace Tessarine {

using namespace RorozErurEvo;

ProfileRow::ProfileRow(std::shared_ptr<InputDevice> device, UserSettings& settings, QWidget* parent)
    : QWidget(parent), device_(std::move(device)), settings_(settings), limits_(nullptr),
      family_(new MenuButton), menu_(new QMenu(this)) {
    setObjectName(QStringLiteral("profile-row"));
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(8);

    const QFont font = Fonts::callout();
    const int side = QFontMetrics(font).height();
    auto* symbol = new QLabel;
    symbol->setPixmap(Symbols::icon(QStringLiteral("slider.horizontal.3"), palette().color(QPalette::PlaceholderText))
                          .pixmap(side, side));
    symbol->setAccessibleName(QString());
    row->addWidget(symbol);

    // On a narrow bench the limits' name gives way (ending in "…") rather than pushing the
    // bench wider than its column, which would cut every card at the column's edge.
    limits_ = new ElidedLabel;
    limits_->setFont(font);
    limits_->setForegroundRole(QPalette::PlaceholderText);
    limits_->setObjectName(QStringLiteral("profile-label"));
    row->addWidget(limits_);

    family_->setObjectName(QStringLiteral("family-menu"));
    family_->setFont(font);
    family_->setMenu(menu_);
    family_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    row->addWidget(family_);
    row->addStretch(1);

    menu_->addAction(QStringLiteral("Detect Automatically"), this,
                     [this] { settings_.setFamilyChoice(device_->id(), std::nullopt); });
    menu_->addSeparator();
    for (const ControllerFamily family : BenchTexts::families())
        menu_->addAction(QString::fromStdString(title(family)), this,
                         [this, family] { settings_.setFamilyChoice(device_->id(), family); });

    for (auto signal : {&UserSettings::familyChoiceChanged, &UserSettings::useFamilyProfilesChanged,
                        &UserSettings::familyProfilesChanged, &UserSettings::thresholdsChanged})
        connect(&settings_, signal, this, &ProfileRow::refresh);
    connect(device_.get(), &InputDevice::infoChanged, this, &ProfileRow::refresh);
    refresh();
}

void ProfileRow::refresh() {
    limits_->setText(BenchTexts::limitsText(settings_.thresholdsLabel(*device_)));
    family_->setVisible(settings_.useFamilyProfiles());
    const ControllerFamily family = settings_.family(*device_);
    family_->setText(BenchTexts::familyMenuText(family));
    family_->setAccessibleName(BenchTexts::familyMenuName(family));
}

} // namespace Tessarine
