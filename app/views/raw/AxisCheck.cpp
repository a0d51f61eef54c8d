#include "app/views/raw/AxisCheck.h"

#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "app/base/Clock.h"
#include "app/model/UserSettings.h"
#include "app/model/AxisCheckRecorder.h"
#include "app/model/TestRunner.h"
#include "app/paint/Theme.h"
#include "app/views/kit/ReturnKeys.h"
#include "app/views/kit/RunKeys.h"
#include "app/views/kit/MeasureRow.h"
#include "app/views/raw/RawHIDTexts.h"
#include "app/views/kit/VerdictLabel.h"

namespace Tessarine {

AxisCheck::AxisCheck(std::shared_ptr<InputDevice> device, TestRunner& runner, const UserSettings& settings,
                     const Clock& clock, QWidget* parent)
    : QGroupBox(QStringLiteral("Axis check: noise and range"), parent), device_(std::move(device)),
      runner_(&runner), settings_(settings), clock_(clock) {
    setObjectName(QStringLiteral("axis-check"));
    wait_.setSingleShot(true);
    connect(&wait_, &QTimer::timeout, this, &AxisCheck::restEnded);

    auto* box = new QVBoxLayout(this);
    box->setSpacing(8);
    auto* row = new QHBoxLayout;
    buildPicker(row);
    buildRestBox(row);
    buildRangeBox(row);
    row->addStretch(1);
    box->addLayout(row);

    auto* note = new QLabel(QStringLiteral("Pots wear noisy; Hall-effect sensors stay steady. A pot that reads full scale "
                                           "and never moves is usually broken or unplugged."),
                            this);
    note->setWordWrap(true);
    note->setFont(Fonts::caption());
    note->setForegroundRole(QPalette::PlaceholderText);
    box->addWidget(note);
    buildResultBox(box);

    connect(device_.get(), &InputDevice::elementsChanged, this, &AxisCheck::rebuildPicker);
    connect(&runner, &TestRunner::resultsChanged, this, &AxisCheck::refreshResult);
    rebuildPicker();
    setPhase(Phase::idle);
}

// The axis picker and "Measure at Rest".
void AxisCheck::buildPicker(QHBoxLayout* row) {
    auto* axisTitle = new QLabel(QStringLiteral("Axis"), this);
    row->addWidget(axisTitle);
    picker_ = new QComboBox(this);
    axisTitle->setBuddy(picker_);
    picker_->setAccessibleName(QStringLiteral("Axis"));
    picker_->setMaximumWidth(240);
    picker_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    connect(picker_, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0) setAxisID(picker_->itemData(index).toString().toStdString());
    });
    row->addWidget(picker_);

    measure_ = new QPushButton(QStringLiteral("Measure at Rest"), this);
    measure_->setObjectName(QStringLiteral("measure-at-rest"));
    startKey_ = new StartKey(measure_); // before the click that starts the check is connected
    connect(measure_, &QPushButton::clicked, this, &AxisCheck::measureAtRest);
    row->addWidget(measure_);
}

// Shown while the axis rests.
void AxisCheck::buildRestBox(QHBoxLayout* row) {
    restBox_ = new QWidget(this);
    auto* rest = new QHBoxLayout(restBox_);
    rest->setContentsMargins(0, 0, 0, 0);
    restBox_->setFocusPolicy(Qt::TabFocus);
    auto* spinner = new QProgressBar(restBox_);
    spinner->setRange(0, 0);
    spinner->setFixedWidth(60);
    spinner->setTextVisible(false);
    rest->addWidget(spinner);
    auto* hands = new QLabel(QStringLiteral("Hands off for 3 seconds\u2026"), restBox_);
    hands->setFont(Fonts::callout());
    rest->addWidget(hands);
    row->addWidget(restBox_);
}

// Shown while the axis is moved end to end.
void AxisCheck::buildRangeBox(QHBoxLayout* row) {
    rangeBox_ = new QWidget(this);
    auto* range = new QHBoxLayout(rangeBox_);
    range->setContentsMargins(0, 0, 0, 0);
    rangeBox_->setFocusPolicy(Qt::TabFocus);
    auto* move = new QLabel(QStringLiteral("Move it from one end to the other, then:"), rangeBox_);
    move->setFont(Fonts::callout());
    range->addWidget(move);
    done_ = new QPushButton(QStringLiteral("Done"), rangeBox_);
    done_->setObjectName(QStringLiteral("axis-check-done"));
    connect(done_, &QPushButton::clicked, this, &AxisCheck::done);
    range->addWidget(done_);
    // Return and Enter finish the range step while it has the keyboard; Escape cancels either
    // step.
    returnKeys_ = onReturnKeys(rangeBox_, Qt::WidgetWithChildrenShortcut, this, &AxisCheck::done);
    escape_ = onEscape(this, Qt::WindowShortcut, this, &AxisCheck::cancel);
    row->addWidget(rangeBox_);
}

// The verdict, the headline and the measures of the last check.
void AxisCheck::buildResultBox(QVBoxLayout* box) {
    resultBox_ = new QWidget(this);
    resultBox_->setObjectName(QStringLiteral("axis-check-result"));
    auto* result = new QVBoxLayout(resultBox_);
    result->setContentsMargins(0, 0, 0, 0);
    auto* top = new QHBoxLayout;
    verdict_ = new VerdictLabel(RorozErurEvo::Verdict::pass, true, resultBox_);
    top->addWidget(verdict_);
    headline_ = new QLabel(resultBox_);
    QFont medium = Fonts::callout();
    medium.setWeight(QFont::Medium);
    headline_->setFont(medium);
    top->addWidget(headline_, 1);
    result->addLayout(top);
    measures_ = new QVBoxLayout;
    result->addLayout(measures_);
    box->addWidget(resultBox_);
}

void AxisCheck::rebuildPicker() {
    auto axes = RawHIDTexts::candidateAxes(device_->elements());
    {
        QSignalBlocker block(picker_);
        picker_->clear();
        for (const auto& axis : axes) picker_->addItem(QString::fromStdString(axis.name), QString::fromStdString(axis.id));
    }
    // The first axis is chosen while none is.
    if (axisID_.empty() && !axes.empty()) axisID_ = axes.front().id;
    {
        QSignalBlocker block(picker_);
        picker_->setCurrentIndex(picker_->findData(QString::fromStdString(axisID_)));
    }
    measure_->setEnabled(!axisID_.empty());
    refreshResult();
}

void AxisCheck::setAxisID(const std::string& id) {
    if (id == axisID_) return;
    axisID_ = id;
    {
        QSignalBlocker block(picker_);
        picker_->setCurrentIndex(picker_->findData(QString::fromStdString(id)));
    }
    measure_->setEnabled(!axisID_.empty());
    refreshResult();
}

std::string AxisCheck::axisName() const {
    for (const auto& axis : RawHIDTexts::candidateAxes(device_->elements()))
        if (axis.id == axisID_) return axis.name;
    return {};
}

void AxisCheck::setPhase(Phase phase) {
    // Where the keyboard is before parts hide: a hidden button passes the focus down the chain.
    QWidget* focus = QApplication::focusWidget();
    const bool focusHere = focus && isAncestorOf(focus);
    phase_ = phase;
    if (phase == Phase::idle) startKey_->forget();
    startKey_->guard(returnKeys_);
    escape_->setEnabled(phase != Phase::idle);
    // The part that appears takes the keyboard before the others hide.
    QWidget* shown = phase == Phase::idle   ? static_cast<QWidget*>(measure_)
                     : phase == Phase::rest ? restBox_
                                            : rangeBox_;
    shown->show();
    if (focusHere) shown->setFocus(Qt::OtherFocusReason);
    measure_->setVisible(phase == Phase::idle);
    restBox_->setVisible(phase == Phase::rest);
    rangeBox_->setVisible(phase == Phase::range);
}

void AxisCheck::cancel() {
    if (phase_ == Phase::idle) return;
    wait_.stop();
    setPhase(Phase::idle);
}

void AxisCheck::measureAtRest() {
    if (axisID_.empty() || phase_ != Phase::idle) return;
    restStart_ = clock_.now();
    setPhase(Phase::rest);
    wait_.start(waitMs_);
}

void AxisCheck::restEnded() {
    // The axis is read now, so a choice changed during the wait measures the new axis.
    if (!device_->element(axisID_)) {
        setPhase(Phase::idle);
        return;
    }
    restValues_ = AxisCheckRecorder::restReadings(*device_, axisID_, restStart_);
    rangeStart_ = clock_.now();
    setPhase(Phase::range);
}

void AxisCheck::done() {
    if (phase_ != Phase::range) return;
    setPhase(Phase::idle);
    if (runner_)
        AxisCheckRecorder::record(*device_, *runner_, settings_.thresholds(*device_), axisID_, restValues_,
                                  rangeStart_);
}

void AxisCheck::refreshResult() {
    std::optional<RorozErurEvo::TestResult> result;
    if (runner_ && !axisID_.empty()) {
        auto name = axisName();
        if (!name.empty()) result = runner_->result(AxisCheckRecorder::test(name));
    }
    resultBox_->setVisible(result.has_value());
    if (!result) return;
    verdict_->setVerdict(result->verdict);
    headline_->setText(QString::fromStdString(result->headline));
    while (auto* item = measures_->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    for (const auto& measure : result->measures) measures_->addWidget(new MeasureRow(measure, resultBox_));
}

} // namespace Tessarine
