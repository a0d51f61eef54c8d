#include "app/views/bench/SoakCard.h"

#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>

#include "app/devices/InputDevice.h"
#include "app/model/TestRunner.h"
#include "app/base/Clock.h"
#include "app/model/BatchRunner.h"
#include "app/model/RunnerContext.h"
#include "app/model/SoakRunner.h"
#include "app/model/UserSettings.h"
#include "app/views/bench/CardHeader.h"
#include "app/views/bench/CardParts.h"
#include "app/views/bench/CardText.h"
#include "app/views/kit/Relayout.h"
#include "app/views/kit/RunKeys.h"
#include "app/views/bench/ResultView.h"
#include "app/views/bench/SoakLiveView.h"
#include "app/paint/Theme.h"

namespace Tessarine {

SoakCard::SoakCard(std::shared_ptr<InputDevice> device, TestRunner& runner, UserSettings& settings,
                   SoakRunner& soakRunner, BatchRunner* batch, QWidget* parent)
    : Card(parent), device_(std::move(device)), runner_(runner), settings_(settings), soak_(soakRunner),
      batch_(batch), header_(new CardHeader(QString::fromStdString(SoakRunner::soakTest().symbol()),
                                            QStringLiteral("Wireless soak"))),
      instructions_(CardParts::secondaryText(QString::fromStdString(SoakRunner::soakTest().instructions()),
                                             Fonts::callout())),
      live_(new SoakLiveView(soakRunner)), result_(new ResultView), idleControls_(new QWidget),
      runningControls_(new QWidget), length_(new QComboBox), run_(new QPushButton),
      elsewhere_(CardParts::secondaryText(CardText::soakElsewhere(), Fonts::caption())) {
    setObjectName(QStringLiteral("test-soak"));
    instructions_->setObjectName(QStringLiteral("instructions"));

    for (double minutes : CardText::soakLengths) length_->addItem(CardText::soakLengthLabel(minutes), minutes);
    length_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    length_->setObjectName(QStringLiteral("soak-length"));
    length_->setAccessibleName(QStringLiteral("Length"));
    auto* lengthLabel = new QLabel(QStringLiteral("Length"));
    lengthLabel->setBuddy(length_);
    run_->setObjectName(QStringLiteral("run-soak"));
    auto* idleRow = new QHBoxLayout(idleControls_);
    idleRow->setContentsMargins(0, 0, 0, 0);
    idleRow->addWidget(lengthLabel);
    idleRow->addWidget(length_);
    idleRow->addWidget(run_);
    idleRow->addStretch(1);

    auto* stop = new QPushButton(QStringLiteral("Stop and Judge"));
    stop->setObjectName(QStringLiteral("soak-stop"));
    auto* cancel = new QPushButton(QStringLiteral("Cancel"));
    cancel->setObjectName(QStringLiteral("soak-cancel"));
    auto* runningRow = new QHBoxLayout(runningControls_);
    runningRow->setContentsMargins(0, 0, 0, 0);
    runningRow->addWidget(stop);
    runningRow->addWidget(cancel);
    runningRow->addStretch(1);

    elsewhere_->setObjectName(QStringLiteral("soak-elsewhere"));
    // Escape cancels the run, as Cancel does; while a test of this device runs as well, Escape
    // is that test's.
    escape_ = onEscape(runningControls_, Qt::WindowShortcut, this, &SoakCard::cancel);
    live_->setFocusPolicy(Qt::TabFocus);
    live_->setAccessibleName(QStringLiteral("Wireless soak"));

    addWideWidget(header_);
    addWideWidget(live_);
    addWideWidget(result_);
    addWideWidget(instructions_);
    addWideWidget(idleControls_);
    addWideWidget(runningControls_);
    addWideWidget(elsewhere_);

    connect(length_, &QComboBox::activated, this, [this](int index) {
        auto thresholds = settings_.thresholds();
        thresholds.soakMinutes = length_->itemData(index).toDouble();
        settings_.setThresholds(thresholds);
    });
    connect(run_, &QPushButton::clicked, this,
            [this] { soak().start(*device_, settings_.thresholds().soakMinutes); });
    connect(stop, &QPushButton::clicked, this, [this] {
        if (soak().isRunning(*device_)) soak().finish(runner_.context().clock().now());
    });
    connect(cancel, &QPushButton::clicked, this, &SoakCard::cancel);
    connect(result_, &ResultView::showDetailsToggled, this, [this](bool open) { showDetails_ = open; });

    SoakRunner& runs = soak();
    for (auto signal : {&SoakRunner::runningChanged, &SoakRunner::deviceIDChanged, &SoakRunner::startChanged,
                        &SoakRunner::secondsChanged, &SoakRunner::waitingChanged, &SoakRunner::reportChanged,
                        &SoakRunner::stripChanged, &SoakRunner::recentRateChanged})
        connect(&runs, signal, this, &SoakCard::refresh);
    connect(&runner_, &TestRunner::activeChanged, this, &SoakCard::refresh);
    connect(&runner_, &TestRunner::resultsChanged, this, &SoakCard::refresh);
    connect(&settings_, &UserSettings::thresholdsChanged, this, &SoakCard::refresh);
    if (BatchRunner* batch = batch_) connect(batch, &BatchRunner::startChanged, this, &SoakCard::refresh);
    refresh();
}

SoakRunner& SoakCard::soak() const { return soak_; }

void SoakCard::setShowDetails(bool open) {
    showDetails_ = open;
    result_->setShowDetails(open);
}

void SoakCard::cancel() {
    // The run may have ended on its own since the button was drawn: then there is nothing to
    // cancel and nothing to say.
    if (!soak().isRunning()) return;
    soak().stop();
    runner_.context().announce(QStringLiteral("Wireless soak test cancelled."));
}

void SoakCard::refresh() {
    const bool here = soak().isRunning(*device_);
    // Where the keyboard is before parts hide: a hidden button passes the focus down the chain,
    // from Run to "Stop and Judge".
    QWidget* focus = QApplication::focusWidget();
    const bool focusHere = focus && isAncestorOf(focus);
    const auto result = runner_.result(SoakRunner::soakTest());

    header_->setVerdict(result && !here ? std::optional(result->verdict) : std::nullopt);
    setShown(live_, here);
    if (here) live_->refresh();
    setShown(result_, !here && result);
    if (!here && result) result_->setResult(*result);
    setShown(instructions_, !here && !result);

    {
        const QSignalBlocker block(length_);
        length_->setCurrentIndex(CardText::soakLengthIndex(settings_.thresholds().soakMinutes));
    }
    run_->setText(CardText::runTitle(result.has_value()));
    // The parts that appear take the keyboard before Run waits or the others hide (a hidden or
    // disabled button with the focus passes it down the chain, and the bench scrolls there): the
    // live view while the run goes on, Run Again when it has ended.
    const bool runs = CardText::soakRunEnabled(soak().isRunning(), runner_.hasActiveTest(),
                                               batch_ && batch_->isRunning());
    if (runs) run_->setEnabled(true);
    setShown(here ? runningControls_ : idleControls_, true);
    if (focusHere && here && !wasHere_) live_->setFocus(Qt::OtherFocusReason);
    if (focusHere && !here && wasHere_ && runs) run_->setFocus(Qt::OtherFocusReason);
    if (!runs) run_->setEnabled(false);
    setShown(idleControls_, !here);
    setShown(runningControls_, here);
    escape_->setEnabled(!runner_.hasActiveTest());
    wasHere_ = here;
    setShown(elsewhere_, soak().isRunning() && !here);
}

} // namespace Tessarine
