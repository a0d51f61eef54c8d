#include "app/views/bench/TestCard.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextEdit>
#include <QVBoxLayout>

#include "app/devices/InputDevice.h"
#include "app/base/Clock.h"
#include "app/model/BatchRunner.h"
#include "app/model/RunnerContext.h"
#include "app/model/UserSettings.h"
#include "app/views/kit/ReturnKeys.h"
#include "app/views/kit/RunKeys.h"
#include "app/views/bench/CardHeader.h"
#include "app/views/bench/CardParts.h"
#include "app/views/bench/GateControls.h"
#include "app/views/bench/ManualChecks.h"
#include "app/views/kit/Relayout.h"
#include "app/views/bench/ResultView.h"
#include "app/views/bench/RunningView.h"
#include "app/paint/Theme.h"

namespace Tessarine {

TestCard::TestCard(const GuidedTest& test, std::shared_ptr<InputDevice> device, TestRunner& runner,
                   const UserSettings& settings, BatchRunner* batch, QWidget* parent)
    : Card(parent), test_(test), device_(std::move(device)), runner_(runner), settings_(settings),
      batch_(batch),
      header_(new CardHeader(QString::fromStdString(test.symbol()), QString::fromStdString(test.title()))),
      bodies_(new QWidget),
      instructions_(CardParts::secondaryText(QString::fromStdString(test.instructions()), Fonts::callout())),
      ended_(CardParts::secondaryText(QString(), Fonts::caption())) {
    setObjectName(CardText::key(test_));
    instructions_->setObjectName(QStringLiteral("instructions"));
    ended_->setObjectName(QStringLiteral("ended-note"));
    ended_->hide();
    auto* bodyStack = new QVBoxLayout(bodies_);
    bodyStack->setContentsMargins(0, 0, 0, 0);
    bodyStack->addWidget(instructions_);

    addWideWidget(header_);
    addWideWidget(ended_);
    addWideWidget(bodies_);
    if (test_.kind == RorozErurEvo::TestKind::circularity) {
        gateControls_ = new GateControls(test_, runner_);
        addWideWidget(gateControls_);
    }

    if (!CardText::isManual(test_.kind)) {
        const QString key = objectName();
        idleButtons_ = new QWidget;
        run_ = new QPushButton;
        run_->setObjectName(CardText::runName(key));
        auto* idleRow = new QHBoxLayout(idleButtons_);
        idleRow->setContentsMargins(0, 0, 0, 0);
        idleRow->addWidget(run_);
        idleRow->addStretch(1);

        runningButtons_ = new QWidget;
        done_ = new QPushButton(QStringLiteral("Done"));
        done_->setObjectName(CardText::doneName(key));
        cancel_ = new QPushButton(QStringLiteral("Cancel"));
        auto* runningRow = new QHBoxLayout(runningButtons_);
        runningRow->setContentsMargins(0, 0, 0, 0);
        runningRow->addWidget(done_);
        runningRow->addWidget(cancel_);
        runningRow->addStretch(1);
        // Return finishes the running test and Escape cancels it, as "Stop the Running Test"
        // does. A shortcut acts only while its parent is visible and enabled, so only the card
        // that shows "Done" in the active window reacts.
        returnKeys_ = onReturnKeys(runningButtons_, Qt::WindowShortcut, done_, &QPushButton::click);
        onEscape(runningButtons_, Qt::WindowShortcut, cancel_, &QPushButton::click);
        addWideWidget(idleButtons_);
        addWideWidget(runningButtons_);

        startKey_ = new StartKey(run_); // before the click that starts the test is connected
        connect(run_, &QPushButton::clicked, this, [this] { runner_.start(test_); });
        connect(done_, &QPushButton::clicked, this, [this] {
            if (running()) runner_.done(runner_.context().clock().now());
        });
        connect(cancel_, &QPushButton::clicked, this, [this] {
            if (running()) runner_.cancel();
        });
    }

    connect(&runner_, &TestRunner::activeChanged, this, &TestCard::refresh);
    connect(&runner_, &TestRunner::resultsChanged, this, &TestCard::refresh);
    connect(&runner_, &TestRunner::answersChanged, this, &TestCard::refresh);
    connect(&runner_, &TestRunner::gatesChanged, this, &TestCard::refresh);
    connect(&runner_, &TestRunner::fitChanged, this, &TestCard::refresh);
    connect(&settings_, &UserSettings::thresholdsChanged, this, &TestCard::refresh);
    connect(&settings_, &UserSettings::familyProfilesChanged, this, &TestCard::refresh);
    connect(&settings_, &UserSettings::useFamilyProfilesChanged, this, &TestCard::refresh);
    connect(&settings_, &UserSettings::familyChoiceChanged, this, &TestCard::refresh);
    if (BatchRunner* batch = batch_) connect(batch, &BatchRunner::startChanged, this, &TestCard::refresh);
    refresh();
}

void TestCard::setTest(const GuidedTest& test) {
    if (test == test_) return;
    test_ = test;
    header_->setTitle(QString::fromStdString(test_.title()));
    instructions_->setText(QString::fromStdString(test_.instructions()));
    if (gateControls_) gateControls_->setTest(test_);
    // The running view and the checklist hold the test they were built for: build them afresh.
    for (QWidget* stale : {static_cast<QWidget*>(runningView_), static_cast<QWidget*>(manualChecks_)})
        if (stale) {
            stale->hide();
            stale->deleteLater();
        }
    runningView_ = nullptr;
    manualChecks_ = nullptr;
    refresh();
}

bool TestCard::running() const { return runner_.active() && runner_.active()->test == test_; }

CardText::State TestCard::state() const {
    return CardText::state(test_.kind, running(), runner_.result(test_).has_value());
}

void TestCard::setShowDetails(bool open) {
    showDetails_ = open;
    if (resultView_) resultView_->setShowDetails(open);
}

RunningView* TestCard::ensureRunningView() {
    if (!runningView_) {
        runningView_ = new RunningView(test_, device_, runner_);
        bodies_->layout()->addWidget(runningView_);
    }
    return runningView_;
}

ResultView* TestCard::ensureResultView() {
    if (!resultView_) {
        resultView_ = new ResultView;
        resultView_->setShowDetails(showDetails_);
        connect(resultView_, &ResultView::showDetailsToggled, this, [this](bool open) { showDetails_ = open; });
        bodies_->layout()->addWidget(resultView_);
    }
    return resultView_;
}

ManualChecks* TestCard::ensureManualChecks() {
    if (!manualChecks_) {
        manualChecks_ = new ManualChecks(test_, device_, runner_);
        bodies_->layout()->addWidget(manualChecks_);
    }
    return manualChecks_;
}

void TestCard::showBody(QWidget* body) {
    if (!body->isHidden() && shownBody_ == body) return;
    shownBody_ = body;
    for (QWidget* each : {static_cast<QWidget*>(instructions_), static_cast<QWidget*>(runningView_),
                          static_cast<QWidget*>(resultView_), static_cast<QWidget*>(manualChecks_)})
        if (each && each != body) each->hide();
    body->show();
    relayoutUpward(body);
}

void TestCard::refresh() {
    const bool isRunning = running();
    // Where the keyboard is before parts hide: Qt passes the focus of a hidden button on to the
    // next widget in the chain, which may be anywhere.
    QWidget* focus = QApplication::focusWidget();
    const bool focusHere = focus && isAncestorOf(focus);
    const bool typing = typingElsewhere();
    const auto result = runner_.result(test_);
    const CardText::State state = CardText::state(test_.kind, isRunning, result.has_value());

    header_->setVerdict(result && !isRunning ? std::optional(result->verdict) : std::nullopt);
    // After a run that ended without a result, a result still shown is an earlier run's.
    const bool unfinished = !isRunning && state != CardText::State::manual && runner_.endedWithoutResult(test_);
    if (unfinished) {
        const QString note = CardText::endedNote(result ? std::optional(result->date) : std::nullopt);
        if (ended_->text() != note) ended_->setText(note);
    }
    setShown(ended_, unfinished);
    switch (state) {
    case CardText::State::running:
        ensureRunningView()->refresh(*runner_.active());
        showBody(runningView_);
        break;
    case CardText::State::done:
        ensureResultView()->setResult(*result);
        showBody(resultView_);
        break;
    case CardText::State::manual:
        ensureManualChecks()->refresh();
        showBody(manualChecks_);
        break;
    case CardText::State::ready: showBody(instructions_); break;
    }
    if (gateControls_) {
        setShown(gateControls_, !isRunning);
        if (!isRunning) gateControls_->refresh();
    }
    if (run_) {
        run_->setText(CardText::runTitle(result.has_value()));
        // The button that started the test hides while it runs, and Done hides when it ends. The
        // keyboard moves to the running view, never to Done: Space pressed again, or held, on
        // the button that started the test must not end it with a verdict. When the test ends
        // the keyboard goes to Run Again, unless the user is typing elsewhere. The parts that
        // appear take it before Run waits or the others hide: a hidden or disabled button with
        // the focus passes it down the chain, to the next card's control or further, and the
        // bench's scroll area scrolls there, away from the card the user is watching.
        QWidget* appearing = isRunning ? runningButtons_ : idleButtons_;
        QWidget* leaving = isRunning ? idleButtons_ : runningButtons_;
        const bool runs = CardText::runEnabled(runner_.hasActiveTest(), batch_ && batch_->isRunning());
        if (runs) run_->setEnabled(true);
        if (isRunning != wasRunning_) {
            if (!isRunning) startKey_->forget();
            startKey_->guard(returnKeys_);
        }
        setShown(appearing, true);
        if (isRunning && !wasRunning_ && focusHere && runningView_->isVisible())
            runningView_->setFocus(Qt::OtherFocusReason);
        if (wasRunning_ && !isRunning && !typing && run_->isVisible()) run_->setFocus(Qt::OtherFocusReason);
        if (!runs) run_->setEnabled(false);
        setShown(leaving, false);
    }
    wasRunning_ = isRunning;
}

bool TestCard::typingElsewhere() const {
    QWidget* focus = QApplication::focusWidget();
    if (!focus || isAncestorOf(focus)) return false;
    return qobject_cast<QLineEdit*>(focus) || qobject_cast<QAbstractSpinBox*>(focus) ||
           qobject_cast<QPlainTextEdit*>(focus) || qobject_cast<QTextEdit*>(focus);
}

} // namespace Tessarine
