#include "app/views/raw/RawHIDView.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include <limits>

#include "app/model/TestRunner.h"
#include "app/base/Clock.h"
#include "app/model/DeviceLists.h"
#include "app/model/UserSettings.h"
#include "app/paint/Theme.h"
#include "app/views/raw/AxisCheck.h"
#include "app/views/raw/AxisEditors.h"
#include "app/views/raw/ElementTable.h"
#include "app/views/kit/EmptyState.h"
#include "app/views/raw/RawHIDTexts.h"

namespace Tessarine {

namespace {
// Seconds of report times the header's rate looks back over.
constexpr double rateWindow = 1.0;

QLabel* secondary(const QString& text, const QFont& font, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setFont(font);
    label->setWordWrap(true);
    label->setForegroundRole(QPalette::PlaceholderText);
    return label;
}
} // namespace

RawHIDView::RawHIDView(std::shared_ptr<InputDevice> device, std::shared_ptr<InputDevice> owner,
                       DeviceLists& lists, const UserSettings& settings, const Clock& clock, QWidget* parent)
    : QWidget(parent), device_(std::move(device)), lists_(lists), settings_(settings), clock_(clock) {
    setObjectName(QStringLiteral("raw-hid-view"));
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    if (!device_) {
        outer->addWidget(new EmptyState(
            QStringLiteral("No raw HID view for this controller"), QStringLiteral("cable.connector"),
            QStringLiteral("The system didn't list a matching hidraw device. Xbox controllers on USB and some others "
                           "reach apps only through the game-controller layer. Wheels, pedals, joysticks and USB "
                           "adapters appear on the left on their own."),
            this));
        return;
    }

    auto* scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    outer->addWidget(scroll);
    auto* content = new QWidget(scroll);
    auto* box = new QVBoxLayout(content);
    box->setContentsMargins(16, 16, 16, 16);
    box->setSpacing(16);

    buildHeader(box, content);
    buildSections(box, content, owner);
    box->addStretch(1);
    scroll->setWidget(content);

    connect(device_.get(), &InputDevice::rawLiveChanged, this, &RawHIDView::refreshRate);
    refreshRate();
}

// The device's name and identity, its report rate and "Reset Min/Max".
void RawHIDView::buildHeader(QVBoxLayout* box, QWidget* content) {
    auto* header = new QHBoxLayout;
    auto* names = new QVBoxLayout;
    names->setSpacing(2);
    auto* name = new QLabel(QString::fromStdString(device_->info().name), content);
    name->setObjectName(QStringLiteral("raw-hid-name"));
    QFont title = Fonts::title();
    title.setWeight(QFont::DemiBold);
    name->setFont(title);
    names->addWidget(name);
    auto* identity = secondary(RawHIDTexts::identity(device_->info()), Fonts::callout(), content);
    identity->setObjectName(QStringLiteral("raw-hid-identity"));
    identity->setWordWrap(false);
    names->addWidget(identity);
    header->addLayout(names);
    header->addStretch(1);
    reports_ = new QLabel(content);
    reports_->setObjectName(QStringLiteral("raw-hid-reports"));
    reports_->setFont(Fonts::callout());
    reports_->setToolTip(QStringLiteral("How often the device reports while something moves. A still device may send nothing."));
    header->addWidget(reports_, 0, Qt::AlignTop);
    reset_ = new QPushButton(QStringLiteral("Reset Min/Max"), content);
    reset_->setObjectName(QStringLiteral("reset-min-max"));
    connect(reset_, &QPushButton::clicked, this, [this] { device_->buffer().resetRawRange(); });
    header->addWidget(reset_, 0, Qt::AlignTop);
    box->addLayout(header);

    connect(device_.get(), &InputDevice::infoChanged, this, [this, name, identity] {
        name->setText(QString::fromStdString(device_->info().name));
        identity->setText(RawHIDTexts::identity(device_->info()));
    });
}

// The element table, the stick pairs, the axis roles, the axis check and the note on vendor
// reports.
void RawHIDView::buildSections(QVBoxLayout* box, QWidget* content, const std::shared_ptr<InputDevice>& owner) {
    table_ = new ElementTable(device_, content);
    box->addWidget(table_);
    pairs_ = new StickPairsEditor(device_, content);
    box->addWidget(pairs_);
    roles_ = new AxisRolesEditor(device_, content);
    box->addWidget(roles_);
    check_ = new AxisCheck(device_, lists_.runner(owner ? owner : device_), settings_, clock_, content);
    box->addWidget(check_);
    box->addWidget(secondary(QStringLiteral("Some controllers send their full data in vendor-specific reports once the "
                                            "system's game controller support takes over (PlayStation pads over "
                                            "Bluetooth, Switch Pro, Joy-Con). Then only part of the input shows here; a "
                                            "USB cable often helps."),
                             Fonts::caption(), content));
}

void RawHIDView::refreshRate() {
    if (!reports_) return;
    const double now = clock_.now();
    auto stamps = device_->buffer().stamps(now - rateWindow, std::numeric_limits<double>::infinity());
    QString text = RawHIDTexts::reports(RawHIDTexts::reportRate(stamps, device_->stampResolution(), device_->rawLive()));
    if (reports_->text() != text) reports_->setText(text);
}

} // namespace Tessarine
