#include "app/views/device/DeviceHeader.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <functional>

#include "app/devices/InputDevice.h"
#include "app/model/TestRunner.h"
#include "app/devices/DemoDevice.h"
#include "app/model/DeviceLists.h"
#include "app/model/Navigation.h"
#include "app/views/device/DeviceHeaderText.h"
#include "app/views/kit/AccessibleLabel.h"
#include "app/views/kit/ElidedLabel.h"
#include "app/views/kit/PartsLabel.h"
#include "app/views/kit/SegmentedControl.h"
#include "app/paint/Symbols.h"
#include "app/paint/Theme.h"
#include "testkit/DemoScripts.h"
#include "testkit/Enum.h"

namespace Tessarine {

namespace Text = DeviceHeaderText;
using RorozErurEvo::DemoScenario;

namespace {
// Pixels between the name and the detail line.
constexpr int titleSpacing = 2;
// Pixels between the titles and the controls: side by side, the row's spacing on both sides of
// an 8-pixel gap; stacked, the controls sit a little below the detail line.
constexpr int oneRowGap = 2 * DeviceHeader::spacing + 8;
constexpr int stackedGap = 8;
// Pixels between the battery symbol and its text.
constexpr int batteryGap = 4;
// Pixels around the value-source picker in its row.
constexpr int valuesRowSpacing = 4;

QString tabTitle(DetailTab tab) {
    switch (tab) {
    case DetailTab::bench: return QStringLiteral("Bench");
    case DetailTab::raw: return QStringLiteral("Raw HID");
    case DetailTab::history: return QStringLiteral("History");
    }
    return {};
}

// A box that turns into a row or a stack for the width it is asked about or laid out at, before
// it lays anything out. Turning on the resize instead would first lay the header out in the
// arrangement of its stand-in width and then again: a stacked height the column takes, a
// wrapped detail line at full width, both corrected on the next turn.
class RowOrStack : public QBoxLayout {
public:
    RowOrStack(std::function<void(int)> choose, QWidget* parent)
        : QBoxLayout(QBoxLayout::LeftToRight, parent), choose_(std::move(choose)) {}

    int heightForWidth(int width) const override {
        choose_(width);
        return QBoxLayout::heightForWidth(width);
    }
    void setGeometry(const QRect& rect) override {
        choose_(rect.width());
        QBoxLayout::setGeometry(rect);
    }

private:
    std::function<void(int)> choose_;
};

} // namespace

DeviceHeader::DeviceHeader(DeviceLists& lists, Navigation& navigation, DemoDriver& demo,
                           std::shared_ptr<InputDevice> device, QWidget* parent)
    : QWidget(parent), lists_(lists), navigation_(navigation), demoDriver_(demo), device_(std::move(device)),
      name_(new ElidedLabel), detail_(new PartsLabel(Text::separator)), battery_(new QWidget),
      batteryIcon_(new QLabel), batteryText_(new QLabel), tabs_(new SegmentedControl) {
    setObjectName(QStringLiteral("device-header"));
    outer_ = new RowOrStack([this](int width) { arrange(width); }, this);
    outer_->setContentsMargins(horizontalPadding, verticalPadding, horizontalPadding, verticalPadding);
    outer_->setSpacing(oneRowGap);
    // The header's least width is that of its controls alone (see minimumSizeHint), not that of
    // the row it is while there is room for one.
    outer_->setSizeConstraint(QLayout::SetNoConstraint);
    controls_ = new QHBoxLayout;
    controls_->setSpacing(spacing);

    buildTitles();
    outer_->addLayout(controls_);
    buildBattery();
    if (Text::showsDemoPicker(*device_)) buildDemoPicker();
    if (device_->kind() == InputDevice::Kind::controller) buildPairing();
    if (device_->kind() == InputDevice::Kind::controller || device_->kind() == InputDevice::Kind::demo)
        buildValuesPicker();
    buildTabs();

    const InputDevice* watched = device_.get();
    connect(watched, &InputDevice::infoChanged, this, &DeviceHeader::refresh);
    connect(watched, &InputDevice::batteryLevelChanged, this, &DeviceHeader::refresh);
    connect(watched, &InputDevice::batteryStateChanged, this, &DeviceHeader::refresh);
    connect(watched, &InputDevice::useRawChanged, this, &DeviceHeader::refresh);
    connect(watched, &InputDevice::rawPartnerChanged, this, [this] {
        watchPartner();
        refresh();
    });
    watchPartner();
    applyColours();
    refresh();
}

void DeviceHeader::buildTitles() {
    auto* titles = new QVBoxLayout;
    titles->setSpacing(titleSpacing);
    name_->setObjectName(QStringLiteral("device-name"));
    name_->setFont(Fonts::pageTitle());
    detail_->setObjectName(QStringLiteral("device-detail"));
    detail_->setFont(Fonts::callout());
    titles->addWidget(name_);
    titles->addWidget(detail_);
    outer_->addLayout(titles, 1);
}

void DeviceHeader::buildBattery() {
    battery_->setObjectName(QStringLiteral("device-battery"));
    auto* batteryRow = new QHBoxLayout(battery_);
    batteryRow->setContentsMargins(0, 0, 0, 0);
    batteryRow->setSpacing(batteryGap);
    batteryText_->setFont(Fonts::callout());
    batteryIcon_->setAccessibleName(QString()); // the text says it
    batteryRow->addWidget(batteryIcon_);
    batteryRow->addWidget(batteryText_);
    controls_->addWidget(battery_);
}

// The demo's recording, for the demo controller.
void DeviceHeader::buildDemoPicker() {
    demo_ = new QComboBox;
    demo_->setObjectName(QStringLiteral("demo-recording"));
    demo_->setFixedWidth(demoPickerWidth);
    demo_->setAccessibleName(QStringLiteral("Demo recording"));
    demo_->setToolTip(Text::demoHelp);
    for (DemoScenario scenario : RorozErurEvo::allCases<DemoScenario>())
        demo_->addItem(QString::fromStdString(RorozErurEvo::label(scenario)),
                       QString::fromStdString(RorozErurEvo::rawValue(scenario)));
    connect(demo_, &QComboBox::activated, this, [this](int index) {
        const auto scenario =
            RorozErurEvo::fromRawValue<DemoScenario>(demo_->itemData(index).toString().toStdString());
        if (scenario) demoDriver_.setScenario(*scenario);
    });
    connect(&demoDriver_, &DemoDriver::scenarioChanged, this, &DeviceHeader::refresh);
    controls_->addWidget(demo_);
    AccessibleLabel::hidden(*demo_, demo_->accessibleName());
}

// The raw device paired with a controller.
void DeviceHeader::buildPairing() {
    pairing_ = new QPushButton(Text::pairingTitle);
    pairing_->setObjectName(QStringLiteral("raw-pairing"));
    pairing_->setFixedWidth(pairingMenuWidth);
    pairing_->setToolTip(Text::pairingHelp);
    pairingMenu_ = new QMenu(pairing_);
    pairingMenu_->setObjectName(QStringLiteral("raw-pairing-menu"));
    pairing_->setMenu(pairingMenu_);
    // Names and serials of the listed devices may have changed since the list did.
    connect(pairingMenu_, &QMenu::aboutToShow, this, &DeviceHeader::fillPairingMenu);
    connect(&lists_, &DeviceLists::allHIDChanged, this, &DeviceHeader::fillPairingMenu);
    fillPairingMenu();
    controls_->addWidget(pairing_);
}

// Processed or raw values, for a controller or the demo.
void DeviceHeader::buildValuesPicker() {
    values_ = new SegmentedControl;
    values_->setObjectName(QStringLiteral("value-source"));
    values_->addSegment(QStringLiteral("Processed"), QStringLiteral("processed"));
    values_->addSegment(QStringLiteral("Raw HID"), QStringLiteral("raw"));
    values_->setFixedWidth(valuesPickerWidth);
    values_->setAccessibleName(QStringLiteral("Values"));
    values_->setToolTip(Text::valuesHelp);
    connect(values_, &SegmentedControl::activated, this,
            [this] { chooseValueSource(values_->currentTag() == QStringLiteral("raw")); });
    auto* valuesRow = new QHBoxLayout;
    valuesRow->setSpacing(valuesRowSpacing);
    valuesRow->addWidget(values_);
    controls_->addLayout(valuesRow);
}

void DeviceHeader::buildTabs() {
    tabs_->setObjectName(QStringLiteral("detail-tab"));
    for (DetailTab tab : RorozErurEvo::allCases<DetailTab>())
        tabs_->addSegment(tabTitle(tab), QString::fromStdString(RorozErurEvo::rawValue(tab)));
    tabs_->setFixedWidth(tabPickerWidth);
    tabs_->setAccessibleName(QStringLiteral("View"));
    connect(tabs_, &SegmentedControl::activated, this, [this] {
        if (auto tab = RorozErurEvo::fromRawValue<DetailTab>(tabs_->currentTag().toStdString()))
            navigation_.setTab(*tab);
    });
    connect(&navigation_, &Navigation::tabChanged, this, &DeviceHeader::refresh);
    controls_->addWidget(tabs_);
}

bool DeviceHeader::fitsOneRow(int width) const {
    const int titles = name_->sizeHint().width();
    return width >= 2 * horizontalPadding + titles + oneRowGap + controls_->sizeHint().width();
}

void DeviceHeader::arrange(int width) const {
    // The name is never cut: when it and the controls do not fit side by side, the controls go
    // under the titles. The detail line wraps between its parts, so the serial stays whole.
    const bool oneRow = fitsOneRow(width);
    const auto direction = oneRow ? QBoxLayout::LeftToRight : QBoxLayout::TopToBottom;
    if (outer_->direction() == direction) return;
    outer_->setDirection(direction);
    outer_->setSpacing(oneRow ? oneRowGap : stackedGap);
    outer_->setAlignment(controls_, oneRow ? Qt::Alignment() : Qt::AlignLeft);
}

QSize DeviceHeader::minimumSizeHint() const {
    return {controls_->minimumSize().width() + 2 * horizontalPadding, QWidget::minimumSizeHint().height()};
}

void DeviceHeader::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    arrange(width());
}

QLabel* DeviceHeader::nameLabel() const {
    return name_;
}
QLabel* DeviceHeader::detailLabel() const {
    return detail_;
}

void DeviceHeader::watchPartner() {
    // The detail line borrows ids, serial and transport from the raw partner.
    disconnect(partnerInfo_);
    if (const auto& partner = device_->rawPartner())
        partnerInfo_ = connect(partner.get(), &InputDevice::infoChanged, this, &DeviceHeader::refresh);
}

void DeviceHeader::refresh() {
    name_->setText(QString::fromStdString(device_->info().name));
    name_->setAccessibleName(name_->text());
    detail_->setText(Text::detailLine(device_->identity()));
    detail_->setAccessibleName(detail_->text());
    refreshBattery();
    if (demo_) {
        const QSignalBlocker blocker(demo_);
        const int index =
            demo_->findData(QString::fromStdString(RorozErurEvo::rawValue(demoDriver_.scenario())));
        if (demo_->currentIndex() != index) demo_->setCurrentIndex(index);
    }
    refreshRawArea();
    const QSignalBlocker blocker(tabs_);
    tabs_->setCurrentTag(QString::fromStdString(RorozErurEvo::rawValue(navigation_.tab())));
    arrange(width());
}

void DeviceHeader::chooseValueSource(bool raw) {
    lists_.runner(device_).cancel();
    device_->setUseRaw(raw);
}

void DeviceHeader::refreshBattery() {
    const std::optional<double> level = Text::batteryLevel(*device_);
    battery_->setVisible(level.has_value());
    if (!level) {
        batterySymbol_.clear();
        return;
    }
    const QString text = Text::batteryText(*level);
    const QString symbol = Text::batterySymbol(*level);
    batteryText_->setText(text);
    const QString label = Text::batteryAccessibility(text, device_->batteryState());
    battery_->setAccessibleName(label);
    batteryText_->setAccessibleName(label);
    if (symbol != batterySymbol_) {
        batterySymbol_ = symbol;
        applyColours();
    }
}

void DeviceHeader::refreshRawArea() {
    const Text::RawArea area = Text::rawArea(*device_);
    if (pairing_) pairing_->setVisible(area == Text::RawArea::pairingMenu);
    if (values_) {
        values_->setVisible(area == Text::RawArea::values);
        const QSignalBlocker blocker(values_);
        values_->setCurrentTag(device_->useRaw() ? QStringLiteral("raw") : QStringLiteral("processed"));
    }
}

void DeviceHeader::fillPairingMenu() {
    if (!pairingMenu_) return;
    pairingMenu_->clear();
    const DeviceLists::Devices& devices = lists_.allHID();
    if (devices.empty()) {
        pairingMenu_->addAction(Text::noPartner)->setEnabled(false);
        return;
    }
    for (const auto& hid : devices) {
        QAction* item = pairingMenu_->addAction(Text::partnerTitle(hid->info()));
        const std::string hidID = hid->id();
        connect(item, &QAction::triggered, this, [this, hidID] { lists_.setPartner(hidID, *device_); });
    }
}

void DeviceHeader::applyColours() {
    const QColor secondary = palette().color(QPalette::PlaceholderText);
    QPalette muted = detail_->palette();
    muted.setColor(QPalette::WindowText, secondary);
    detail_->setPalette(muted);
    if (!batterySymbol_.isEmpty()) {
        const int side = QFontMetrics(Fonts::callout()).height() + 6;
        batteryIcon_->setPixmap(Symbols::icon(batterySymbol_, palette().color(QPalette::WindowText))
                                    .pixmap(QSize(side, side), devicePixelRatioF()));
    }
}

void DeviceHeader::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) applyColours();
}

} // namespace Tessarine
