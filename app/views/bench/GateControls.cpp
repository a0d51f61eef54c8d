#include "app/views/bench/GateControls.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>

#include <algorithm>

#include "app/paint/Theme.h"
#include "app/views/kit/Relayout.h"
#include "testkit/StickGeometry.h"

namespace Tessarine {

using RorozErurEvo::GateShape;

namespace {
constexpr int pickerSpacing = 10;      // pixels between the picker and the toggle
constexpr int pickerWidth = 230; // pixels at most, label included
} // namespace

GateControls::GateControls(const GuidedTest& test, TestRunner& runner, QWidget* parent)
    : QWidget(parent), test_(test), runner_(runner), gate_(new QComboBox),
      fit_(new QCheckBox(QStringLiteral("Fit to the stick's reach"))) {
    setFont(Fonts::callout());
    for (GateShape shape : RorozErurEvo::allCases<GateShape>())
        gate_->addItem(QString::fromStdString(RorozErurEvo::title(shape)), int(shape));
    gate_->setObjectName(QStringLiteral("gate-picker"));
    gate_->setAccessibleName(QStringLiteral("Gate"));
    auto* label = new QLabel(QStringLiteral("Gate"));
    label->setBuddy(gate_);
    auto* picker = picker_ = new QWidget;
    auto* pickerRow = new QHBoxLayout(picker);
    pickerRow->setContentsMargins(0, 0, 0, 0);
    pickerRow->addWidget(label);
    pickerRow->addWidget(gate_, 1);
    picker->setMaximumWidth(pickerWidth);

    fit_->setObjectName(QStringLiteral("fit-toggle"));
    fit_->setToolTip(QStringLiteral("For adapters that don't scale the stick to full range (common with N64 sticks)"));

    auto* row = row_ = new QBoxLayout(QBoxLayout::LeftToRight, this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(pickerSpacing);
    // As narrow as its widest part (see minimumSizeHint): a narrow card stacks the two.
    row->setSizeConstraint(QLayout::SetNoConstraint);
    row->addWidget(picker, 0, Qt::AlignVCenter);
    row->addWidget(fit_, 0, Qt::AlignVCenter);
    row->addStretch(1);

    connect(gate_, &QComboBox::activated, this, [this](int index) {
        runner_.setGate(test_, GateShape(gate_->itemData(index).toInt()));
    });
    connect(fit_, &QCheckBox::toggled, this, [this](bool on) { runner_.setFit(test_, on); });
    refresh();
}

QSize GateControls::minimumSizeHint() const {
    const int widest = std::max(picker_->minimumSizeHint().width(), fit_->isHidden() ? 0 : fit_->sizeHint().width());
    return {widest, QWidget::minimumSizeHint().height()};
}

void GateControls::arrange() {
    // The toggle goes under the picker when the two do not fit side by side.
    const int oneRow = picker_->sizeHint().width() + pickerSpacing + fit_->sizeHint().width();
    const bool side = fit_->isHidden() || width() >= oneRow;
    const auto direction = side ? QBoxLayout::LeftToRight : QBoxLayout::TopToBottom;
    if (row_->direction() == direction) return;
    row_->setDirection(direction);
    relayoutUpward(this);
}

void GateControls::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    arrange();
}

void GateControls::setTest(const GuidedTest& test) {
    test_ = test;
    refresh();
}

void GateControls::refresh() {
    setEnabled(!runner_.hasActiveTest());
    const QSignalBlocker blockGate(gate_);
    const QSignalBlocker blockFit(fit_);
    gate_->setCurrentIndex(gate_->findData(int(runner_.gate(test_))));
    fit_->setVisible(test_.raw);
    fit_->setChecked(runner_.fit(test_));
    arrange();
}

} // namespace Tessarine
