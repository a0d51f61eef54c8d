#include "app/views/settings/DisplayTab.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

#include "app/model/UserSettings.h"
#include "app/model/KeyboardTester.h"
#include "app/paint/Theme.h"
#include "app/views/settings/SettingsParts.h"
#include "app/views/settings/SettingsTexts.h"
#include "testkit/KeyboardLayout.h"

namespace Tessarine {

using RorozErurEvo::KeyboardLayout;

namespace {
// The slider moves in tenths of a second from 0.3 s to 4.0 s.
constexpr int trailMin = 3;
constexpr int trailMax = 40;
constexpr double stepsPerSecond = 10;
// Pixels.
constexpr int sliderWidth = 200;
constexpr int trailTextWidth = 44;
} // namespace

DisplayTab::DisplayTab(UserSettings& settings, KeyboardTester& keyboard, QWidget* parent)
    : QWidget(parent), settings_(settings), keyboard_(keyboard) {
    setObjectName(QStringLiteral("settings-display"));
    QVBoxLayout* column = SettingsParts::scrollingColumn(*this);
    QFormLayout* rows = nullptr;
    SettingsParts::section(*column, QString(), rows);

    raw_ = new QCheckBox(QStringLiteral("Show raw numbers for raw HID sources (instead of percent)"));
    raw_->setObjectName(QStringLiteral("display-raw-numbers"));
    connect(raw_, &QCheckBox::toggled, this, [this](bool on) { settings_.setShowRawNumbers(on); });
    rows->addRow(raw_);

    auto* trailRow = new QWidget;
    auto* trailLayout = new QHBoxLayout(trailRow);
    trailLayout->setContentsMargins(0, 0, 0, 0);
    trail_ = new QSlider(Qt::Horizontal);
    trail_->setObjectName(QStringLiteral("display-trail"));
    trail_->setAccessibleName(QStringLiteral("Stick trace length"));
    trail_->setRange(trailMin, trailMax);
    trail_->setSingleStep(1);
    trail_->setPageStep(5);
    trail_->setFixedWidth(sliderWidth);
    connect(trail_, &QSlider::valueChanged, this,
            [this](int steps) { settings_.setTrailSeconds(steps / stepsPerSecond); });
    trailText_ = new QLabel;
    trailText_->setObjectName(QStringLiteral("display-trail-text"));
    trailText_->setFixedWidth(trailTextWidth);
    trailText_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    trailLayout->addWidget(trail_);
    trailLayout->addWidget(trailText_);
    trailLayout->addStretch(1);
    rows->addRow(QStringLiteral("Stick trace length"), trailRow);

    layout_ = new QComboBox;
    layout_->setObjectName(QStringLiteral("display-keyboard-layout"));
    layout_->setAccessibleName(QStringLiteral("Keyboard tester layout"));
    for (auto kind : RorozErurEvo::allCases<KeyboardLayout::Kind>())
        layout_->addItem(QString::fromStdString(title(kind)), int(kind));
    connect(layout_, &QComboBox::activated, this, [this](int index) {
        keyboard_.setLayoutKind(KeyboardLayout::Kind(layout_->itemData(index).toInt()));
    });
    SettingsParts::naturalWidth(*layout_);
    rows->addRow(QStringLiteral("Keyboard tester layout"), layout_);
    column->addStretch(1);

    connect(&settings_, &UserSettings::showRawNumbersChanged, this, &DisplayTab::refresh);
    connect(&settings_, &UserSettings::trailSecondsChanged, this, &DisplayTab::refresh);
    connect(&keyboard_, &KeyboardTester::changed, this, &DisplayTab::refresh);
    refresh();
}

void DisplayTab::refresh() {
    {
        const QSignalBlocker blocker(raw_);
        raw_->setChecked(settings_.showRawNumbers());
    }
    const double seconds = settings_.trailSeconds();
    {
        const QSignalBlocker blocker(trail_);
        if (std::isfinite(seconds))
            trail_->setValue(int(std::lround(std::clamp(seconds * stepsPerSecond, double(trailMin), double(trailMax)))));
    }
    const QString text = SettingsTexts::trailText(seconds);
    if (trailText_->text() != text) trailText_->setText(text);
    {
        const QSignalBlocker blocker(layout_);
        const int index = layout_->findData(int(keyboard_.layoutKind()));
        if (layout_->currentIndex() != index) layout_->setCurrentIndex(index);
    }
}

} // namespace Tessarine
