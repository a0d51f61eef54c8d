#include "app/views/testers/MouseTesterView.h"

#include <QCoreApplication>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QStackedWidget>
#include <QVBoxLayout>

#include <variant>

#include "app/base/Clock.h"
#include "app/model/SessionCommands.h"
#include "app/model/UserSettings.h"
#include "app/model/MouseTester.h"
#include "app/views/testers/MousePad.h"
#include "app/views/kit/Divider.h"
#include "app/views/kit/ViewParts.h"
#include "app/views/kit/SymbolText.h"
#include "app/views/testers/TesterParts.h"
#include "app/views/testers/TesterSaveDialog.h"
#include "app/views/testers/TesterTexts.h"
#include "app/paint/Theme.h"
#include "testkit/ClickIntervals.h"
#include "testkit/ScrollAnalysis.h"

namespace Tessarine {


namespace {
// Seconds of pause that split the wheel's steps into runs.
constexpr double wheelRunGap = 0.3;

// A titled box added to the column; returns its body.
QVBoxLayout* box(QVBoxLayout* column, const QString& title) {
    auto* group = new QGroupBox(title);
    auto* body = new QVBoxLayout(group);
    body->setSpacing(4);
    column->addWidget(group);
    return body;
}

QLabel* digits(const QString& objectName) {
    auto* label = new QLabel;
    label->setObjectName(objectName);
    label->setFont(Fonts::callout());
    return label;
}

enum HoldPage { idlePage, waitingPage, holdingPage, donePage };
} // namespace

MouseTesterView::MouseTesterView(MouseTester& tester, const UserSettings& settings, SessionCommands& commands,
                                 const Clock& clock, QWidget* parent)
    : QWidget(parent), tester_(tester), settings_(settings), commands_(commands), clock_(clock) {
    setObjectName(QStringLiteral("mouse-tester"));

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    QBoxLayout* header = ViewParts::header(QStringLiteral("Mouse"));
    auto* reset = new QPushButton(QStringLiteral("Reset"));
    reset->setObjectName(QStringLiteral("mouse-reset"));
    header->addWidget(reset);
    auto* save = ViewParts::saveButton(QStringLiteral("mouse-save"));
    header->addWidget(save);
    outer->addLayout(header);
    outer->addWidget(new Divider(Qt::Horizontal));

    auto* row = new QHBoxLayout;
    row->setSpacing(0);
    outer->addLayout(row, 1);
    buildTestArea(row);
    QVBoxLayout* column = buildBoxColumn(row);
    buildButtonsBox(column);
    buildChatterBox(column);
    buildWheelBox(column);
    buildRateBox(column);
    buildHoldBox(column);
    column->addStretch(1);

    holdTimer_.setInterval(holdRefreshMs);
    connect(&holdTimer_, &QTimer::timeout, this, &MouseTesterView::refreshHolding);
    connect(reset, &QPushButton::clicked, &tester, &MouseTester::reset);
    connect(save, &QPushButton::clicked, this, &MouseTesterView::save);
    connect(&tester, &MouseTester::changed, this, &MouseTesterView::refresh);
    connect(&settings_, &UserSettings::thresholdsChanged, this, &MouseTesterView::refresh);
    refresh();
}

void MouseTesterView::buildTestArea(QHBoxLayout* row) {
    auto* left = new QVBoxLayout;
    const int margin = TesterParts::contentMargin;
    left->setContentsMargins(margin, margin, margin, margin);
    left->setSpacing(10);
    pad_ = new MousePad(tester_, eventClock_, clock_);
    left->addWidget(pad_, 1);
    row->addLayout(left, 1);

    auto* split = new QFrame;
    split->setFrameShape(QFrame::VLine);
    split->setFrameShadow(QFrame::Plain);
    split->setForegroundRole(QPalette::Mid);
    row->addWidget(split);
}

QVBoxLayout* MouseTesterView::buildBoxColumn(QHBoxLayout* row) {
    const int margin = TesterParts::contentMargin;
    auto* scroll = new QScrollArea;
    scroll->setObjectName(QStringLiteral("mouse-boxes"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setFixedWidth(rightColumnWidth);
    scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    auto* content = new QWidget;
    auto* column = new QVBoxLayout(content);
    column->setContentsMargins(margin, margin, margin, margin);
    column->setSpacing(14);
    scroll->setWidget(content);
    row->addWidget(scroll);
    return column;
}

void MouseTesterView::buildButtonsBox(QVBoxLayout* column) {
    QVBoxLayout* body = box(column, QStringLiteral("Buttons"));
    for (int number = 0; number < MouseTexts::listedButtons; ++number) {
        auto* line = new QHBoxLayout;
        buttonRows_[std::size_t(number)] = new SymbolText;
        buttonCounts_[std::size_t(number)] = digits(QStringLiteral("mouse-count-%1").arg(number));
        line->addWidget(buttonRows_[std::size_t(number)], 1);
        line->addWidget(buttonCounts_[std::size_t(number)]);
        body->addLayout(line);
    }
}

void MouseTesterView::buildChatterBox(QVBoxLayout* column) {
    QVBoxLayout* body = box(column, QStringLiteral("Double-click chatter (left button)"));
    chatterCaption_ = ViewParts::secondaryLabel(QString(), Fonts::caption());
    body->addWidget(chatterCaption_);
    clickFirst_ = ViewParts::secondaryLabel(QStringLiteral("Click a few times."), Fonts::callout());
    body->addWidget(clickFirst_);
    for (auto& click : clickRows_) {
        click.row = new QWidget;
        auto* line = new QHBoxLayout(click.row);
        line->setContentsMargins(0, 0, 0, 0);
        click.verdict = new SymbolText;
        click.verdict->textLabel()->setFont(Fonts::callout());
        click.time = ViewParts::secondaryLabel(QString(), Fonts::callout());
        click.time->setWordWrap(false);
        line->addWidget(click.verdict, 1);
        line->addWidget(click.time);
        body->addWidget(click.row);
    }
}

void MouseTesterView::buildWheelBox(QVBoxLayout* column) {
    QVBoxLayout* body = box(column, QStringLiteral("Scroll wheel"));
    steps_ = digits(QStringLiteral("mouse-steps"));
    body->addWidget(steps_);
    reversals_ = new SymbolText;
    reversals_->setObjectName(QStringLiteral("mouse-reversals"));
    body->addWidget(reversals_);
    body->addWidget(ViewParts::secondaryLabel(
        QStringLiteral("Roll slowly one notch at a time and compare the count with the notches you felt."),
        Fonts::caption()));
    smooth_ = ViewParts::secondaryLabel(QString(), Fonts::caption());
    smooth_->setObjectName(QStringLiteral("mouse-smooth"));
    body->addWidget(smooth_);
}

void MouseTesterView::buildRateBox(QVBoxLayout* column) {
    QVBoxLayout* body = box(column, QStringLiteral("Report rate"));
    rate_ = digits(QStringLiteral("mouse-rate"));
    rate_->setWordWrap(true);
    rate_->setToolTip(QStringLiteral("Estimated from event times inside this window, not read from the hardware. "
                                     "Event times are whole milliseconds: when most moves share a millisecond, only a floor can be told."));
    body->addWidget(rate_);
}

// The hold check's four pages, in HoldPage order: the start button, waiting for the press, the
// running time, the verdict with "Again".
void MouseTesterView::buildHoldBox(QVBoxLayout* column) {
    MouseTester& tester = tester_;
    QVBoxLayout* body = box(column, QStringLiteral("Hold check"));
    hold_ = new QStackedWidget;
    hold_->setObjectName(QStringLiteral("mouse-hold"));
    body->addWidget(hold_);
    {
        auto* page = new QWidget;
        auto* stack = new QVBoxLayout(page);
        stack->setContentsMargins(0, 0, 0, 0);
        auto* start = new QPushButton(QStringLiteral("Start Hold Check"));
        start->setObjectName(QStringLiteral("mouse-hold-start"));
        connect(start, &QPushButton::clicked, &tester, &MouseTester::startHold);
        stack->addWidget(start, 0, Qt::AlignLeft);
        stack->addWidget(ViewParts::secondaryLabel(
            QStringLiteral("Press and hold the left button in the test area and drag in circles for 5 seconds."),
            Fonts::caption()));
        hold_->addWidget(page);
    }
    {
        auto* waiting = new QLabel(QStringLiteral("Press and hold the left button in the test area…"));
        waiting->setFont(Fonts::callout());
        waiting->setWordWrap(true);
        hold_->addWidget(waiting);
    }
    holding_ = digits(QStringLiteral("mouse-holding"));
    hold_->addWidget(holding_);
    {
        auto* page = new QWidget;
        auto* stack = new QVBoxLayout(page);
        stack->setContentsMargins(0, 0, 0, 0);
        holdResult_ = new SymbolText;
        holdResult_->setObjectName(QStringLiteral("mouse-hold-result"));
        stack->addWidget(holdResult_);
        auto* again = new QPushButton(QStringLiteral("Again"));
        again->setObjectName(QStringLiteral("mouse-hold-again"));
        connect(again, &QPushButton::clicked, &tester, &MouseTester::startHold);
        stack->addWidget(again, 0, Qt::AlignLeft);
        hold_->addWidget(page);
    }
}

MouseTesterView::~MouseTesterView() {
    if (compressionOff_) QCoreApplication::setAttribute(Qt::AA_CompressHighFrequencyEvents, true);
}

void MouseTesterView::refresh() {
    const MouseTester& tester = tester_;
    const QColor secondary = palette().color(QPalette::PlaceholderText);
    const QColor primary = palette().color(QPalette::WindowText);

    for (int number = 0; number < MouseTexts::listedButtons; ++number) {
        const bool down = tester.pressed().count(number) > 0;
        auto found = tester.counts().find(number);
        const int count = found == tester.counts().end() ? 0 : found->second;
        auto* rowView = buttonRows_[std::size_t(number)];
        rowView->set(down ? QStringLiteral("circle.fill") : QStringLiteral("circle"),
                     down ? Color::accentTeal() : secondary, QString::fromStdString(MouseTester::buttonName(number)));
        QPalette plain = rowView->textLabel()->palette();
        plain.setColor(QPalette::WindowText, primary);
        rowView->textLabel()->setPalette(plain);
        buttonCounts_[std::size_t(number)]->setText(QString::number(count));
        rowView->setAccessibleName(QStringLiteral("%1, %2%3")
                                       .arg(QString::fromStdString(MouseTester::buttonName(number)))
                                       .arg(count)
                                       .arg(down ? QStringLiteral(", pressed") : QString()));
    }

    const double windowMs = settings_.thresholds().mouseChatterMs;
    chatterCaption_->setText(MouseTexts::chatterCaption(windowMs));
    const auto clicks = MouseTexts::shownClicks(
        RorozErurEvo::ClickIntervals::list(tester.events(), MouseTester::inputName(0), windowMs));
    clickFirst_->setVisible(clicks.empty());
    for (std::size_t i = 0; i < clickRows_.size(); ++i) {
        const auto& click = clickRows_[i];
        click.row->setVisible(i < clicks.size());
        if (i >= clicks.size()) continue;
        const bool flagged = clicks[i].flagged;
        click.verdict->set(flagged ? QStringLiteral("xmark.octagon.fill") : QStringLiteral("checkmark.circle.fill"),
                           flagged ? Color::failRed() : Color::passGreen(),
                           flagged ? QStringLiteral("Chatter") : QStringLiteral("OK"));
        QPalette plain = click.verdict->textLabel()->palette();
        plain.setColor(QPalette::WindowText, primary);
        click.verdict->textLabel()->setPalette(plain);
        click.time->setText(MouseTexts::sinceRelease(clicks[i]));
        click.row->setAccessibleName(click.verdict->textLabel()->text() + QStringLiteral(", ") + click.time->text());
    }

    const auto wheel = RorozErurEvo::ScrollAnalysis::analyze(tester.scrolls(), wheelRunGap);
    steps_->setText(MouseTexts::steps(wheel));
    if (wheel.reversals == 0)
        reversals_->set(QStringLiteral("checkmark.circle.fill"), Color::passGreen(), MouseTexts::reversals(0));
    else
        reversals_->set(QStringLiteral("exclamationmark.triangle.fill"), Color::warnAmber(),
                        MouseTexts::reversals(wheel.reversals));
    smooth_->setVisible(tester.smoothScrolls() > 0);
    smooth_->setText(MouseTexts::smooth(tester.smoothScrolls()));
    rate_->setText(MouseTexts::rate(tester.rate()));

    const auto& hold = tester.hold();
    if (std::holds_alternative<MouseTester::Idle>(hold)) {
        hold_->setCurrentIndex(idlePage);
    } else if (std::holds_alternative<MouseTester::Waiting>(hold)) {
        hold_->setCurrentIndex(waitingPage);
    } else if (std::holds_alternative<MouseTester::Holding>(hold)) {
        hold_->setCurrentIndex(holdingPage);
    } else {
        const auto& done = std::get<MouseTester::Done>(hold);
        if (done.drops == 0)
            holdResult_->set(QStringLiteral("checkmark.circle.fill"), Color::passGreen(),
                             MouseTexts::done(0, done.seconds));
        else
            holdResult_->set(QStringLiteral("xmark.octagon.fill"), Color::failRed(), MouseTexts::done(done.drops, 0));
        hold_->setCurrentIndex(donePage);
    }
    const bool holding = std::holds_alternative<MouseTester::Holding>(hold);
    if (holding && !holdTimer_.isActive()) holdTimer_.start();
    if (!holding) holdTimer_.stop();
    refreshHolding();
}

void MouseTesterView::refreshHolding() {
    const auto* holding = std::get_if<MouseTester::Holding>(&tester_.hold());
    if (!holding) return;
    holding_->setText(MouseTexts::holding(clock_.now() - holding->since));
}

void MouseTesterView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Every movement counts toward the report rate, so Qt must not merge them while this shows.
    QCoreApplication::setAttribute(Qt::AA_CompressHighFrequencyEvents, false);
    compressionOff_ = true;
}

void MouseTesterView::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (compressionOff_) QCoreApplication::setAttribute(Qt::AA_CompressHighFrequencyEvents, true);
    compressionOff_ = false;
}

void MouseTesterView::save() {
    TesterSaveDialog::ask(this, "Mouse", [this](const std::string& unit) {
        commands_.saveTesterResult(tester_.results(settings_.thresholds().mouseChatterMs), "Mouse", unit);
    });
}

} // namespace Tessarine
