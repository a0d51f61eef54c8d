#include "app/views/bench/UnitBar.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/devices/InputDevice.h"
#include "app/model/TestRunner.h"
#include "app/model/DeviceLists.h"
#include "app/model/Navigation.h"
#include "app/model/SessionCommands.h"
#include "app/paint/Symbols.h"
#include "app/paint/Theme.h"
#include "app/views/kit/AdaptiveGridLayout.h"
#include "app/views/kit/MessageBoxes.h"
#include "app/views/bench/BenchTexts.h"
#include "app/views/bench/CardParts.h"
#include "app/views/kit/SymbolText.h"

namespace Tessarine {

using namespace RorozErurEvo;

namespace {

constexpr int fieldWidth = 220;    // pixels: the unit field and the stage picker at most
constexpr int actionColumn = 150;  // pixels: narrowest column of the action grid
constexpr Verdict verdicts[] = {Verdict::pass, Verdict::warn, Verdict::fail};

} // namespace

UnitBar::UnitBar(std::shared_ptr<InputDevice> device, TestRunner& runner, DeviceLists& lists,
                 Navigation& navigation, SessionCommands& commands, QWidget* parent)
    : QWidget(parent), device_(std::move(device)), runner_(runner), lists_(lists), navigation_(navigation),
      commands_(commands), unit_(new QLineEdit), stage_(new QComboBox), summaryRow_(new QWidget),
      heading_(nullptr), actions_(new QWidget), clear_(new QPushButton(QStringLiteral("Clear Results"))) {
    setObjectName(QStringLiteral("unit-bar"));
    auto* rows = new QVBoxLayout(this);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(16);

    buildUnitRow(rows);
    buildSummaryRow(rows);
    buildActions(rows);

    connect(&lists_, &DeviceLists::unitsChanged, this, &UnitBar::refresh);
    connect(&runner_, &TestRunner::resultsChanged, this, &UnitBar::refresh);
    connect(&runner_, &TestRunner::activeChanged, this, &UnitBar::refresh);
    refresh();
}

// Unit and stage.
void UnitBar::buildUnitRow(QVBoxLayout* rows) {
    auto* first = new QHBoxLayout;
    first->setSpacing(10);
    auto* title = new QLabel(QStringLiteral("Unit"));
    title->setFont(Fonts::headline());
    unit_->setPlaceholderText(QStringLiteral("Serial or ticket #"));
    unit_->setMaximumWidth(fieldWidth);
    unit_->setAccessibleName(QStringLiteral("Unit, serial or ticket number"));
    unit_->setObjectName(QStringLiteral("unit-field"));
    auto* stageTitle = new QLabel(QStringLiteral("Stage"));
    stageTitle->setBuddy(stage_);
    stage_->setAccessibleName(QStringLiteral("Stage"));
    stage_->setObjectName(QStringLiteral("stage-picker"));
    stage_->setMaximumWidth(fieldWidth);
    first->addWidget(title, 0, Qt::AlignBaseline);
    first->addWidget(unit_, 1, Qt::AlignBaseline);
    first->addWidget(stageTitle, 0, Qt::AlignBaseline);
    first->addWidget(stage_, 1, Qt::AlignBaseline);
    first->addStretch(0);
    rows->addLayout(first);

    connect(unit_, &QLineEdit::textEdited, this, [this](const QString& text) {
        UnitRecord record = lists_.unit(*device_);
        record.unit = text.toStdString();
        lists_.setUnit(device_->id(), std::move(record));
    });
    connect(stage_, &QComboBox::activated, this, [this](int index) {
        UnitRecord record = lists_.unit(*device_);
        record.stage = stage_->itemText(index).toStdString();
        lists_.setUnit(device_->id(), std::move(record));
    });
}

// Results so far, read as one sentence.
void UnitBar::buildSummaryRow(QVBoxLayout* rows) {
    auto* second = new QHBoxLayout(summaryRow_);
    second->setContentsMargins(0, 0, 0, 0);
    second->setSpacing(8);
    heading_ = CardParts::secondaryText(QString(), Fonts::callout());
    heading_->setWordWrap(false);
    heading_->setObjectName(QStringLiteral("results-summary"));
    second->addWidget(heading_);
    for (int i = 0; i < 3; ++i) {
        auto* count = new SymbolText;
        count->textLabel()->setFont(Fonts::callout());
        count->setObjectName(QStringLiteral("count-") + VerdictStyle::word(verdicts[i]).toLower());
        counts_[i] = count;
        second->addWidget(count);
    }
    second->addStretch(1);
    // As tall with counts as without, so the actions below stay put when the first result comes.
    summaryRow_->setMinimumHeight(counts_[0]->sizeHint().height());
    summaryRow_->setFocusPolicy(Qt::NoFocus);
    rows->addWidget(summaryRow_);
}

// Actions, idle while a test of this device runs.
void UnitBar::buildActions(QVBoxLayout* rows) {
    auto* grid = new AdaptiveGridLayout(actionColumn, 8, actions_);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setRowSpacing(8);
    grid->addWidget(action(QStringLiteral("Save Session…"), QStringLiteral("square.and.arrow.down"),
                           QStringLiteral("save-session")));
    grid->addWidget(action(QStringLiteral("Listing Text"), QStringLiteral("doc.on.clipboard"),
                           QStringLiteral("copy-listing")));
    grid->addWidget(action(QStringLiteral("PDF Report…"), QStringLiteral("doc.richtext"),
                           QStringLiteral("export-pdf")));
    grid->addWidget(action(QStringLiteral("History"), QStringLiteral("clock.arrow.circlepath"),
                           QStringLiteral("unit-history")));
    clear_->setFlat(true);
    clear_->setObjectName(QStringLiteral("clear-results"));
    clear_->setToolTip(QStringLiteral("Clear these results to start on the next unit"));
    clear_->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Fixed);
    grid->addWidget(clear_);
    rows->addWidget(actions_);

    connect(actions_->findChild<QPushButton*>(QStringLiteral("save-session")), &QPushButton::clicked, this,
            [this] { commands_.requestSave(device_); });
    connect(actions_->findChild<QPushButton*>(QStringLiteral("copy-listing")), &QPushButton::clicked, this,
            [this] { commands_.copyListing(commands_.makeSession(*device_)); });
    connect(actions_->findChild<QPushButton*>(QStringLiteral("export-pdf")), &QPushButton::clicked, this, [this] {
        // Built at the click, so the report holds the unit record and results as they are now.
        const TestSession session = commands_.makeSession(*device_);
        commands_.exportPDF({session},
                            BenchTexts::reportName(session.unitKey(), session.label).toStdString());
    });
    connect(actions_->findChild<QPushButton*>(QStringLiteral("unit-history")), &QPushButton::clicked, this, [this] {
        if (navigation_.tab() != DetailTab::history) navigation_.setTab(DetailTab::history);
    });
    connect(clear_, &QPushButton::clicked, this, &UnitBar::clearResults);
}

QPushButton* UnitBar::action(const QString& title, const QString& symbol, const QString& name) {
    auto* button = new QPushButton(Symbols::icon(symbol, palette().color(QPalette::ButtonText)), title);
    button->setToolTip(title);
    button->setObjectName(name);
    button->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Fixed);
    return button;
}

void UnitBar::refresh() {
    const UnitRecord record = lists_.unit(*device_);
    const QString unit = QString::fromStdString(record.unit);
    if (unit_->text() != unit) unit_->setText(unit); // an edit of our own leaves the cursor alone
    const QString stage = QString::fromStdString(record.stage);
    const QStringList options = BenchTexts::stageOptions(stage);
    QStringList shown;
    for (int i = 0; i < stage_->count(); ++i) shown.append(stage_->itemText(i));
    if (shown != options) {
        const QSignalBlocker blocker(stage_);
        stage_->clear();
        stage_->addItems(options);
    }
    stage_->setCurrentIndex(int(options.indexOf(stage)));

    const auto results = runner_.orderedResults();
    heading_->setText(BenchTexts::resultsHeading(int(results.size())));
    QStringList spoken{heading_->text()};
    for (int i = 0; i < 3; ++i) {
        int n = 0;
        for (const auto& result : results) n += result.verdict == verdicts[i];
        counts_[i]->setVisible(n > 0);
        if (n == 0) continue;
        const QString text = BenchTexts::verdictCount(n, verdicts[i]);
        counts_[i]->set(VerdictStyle::symbol(verdicts[i]), VerdictStyle::color(verdicts[i]), text);
        spoken.append(text);
    }
    summaryRow_->setAccessibleName(spoken.join(QLatin1Char(' ')));
    clear_->setVisible(!results.empty());
    actions_->setEnabled(!runner_.active());
}

void UnitBar::clearResults() {
    if (!runner_.hasUnsavedResults()) {
        clearNow();
        return;
    }
    if (confirm_) {
        confirm_->raise();
        return;
    }
    QPushButton* clearButton = nullptr;
    QMessageBox* box = MessageBoxes::confirmation(this, QStringLiteral("Clear unsaved results?"),
                                                  QStringLiteral("These results changed since this unit's session "
                                                                 "was last saved. Clearing removes them for good."),
                                                  QStringLiteral("Clear"), &clearButton);
    box->setObjectName(QStringLiteral("clear-confirm"));
    clearButton->setObjectName(QStringLiteral("clear-confirm-button"));
    connect(box, &QMessageBox::finished, this, [this, box, clearButton] {
        if (box->clickedButton() == clearButton) clearNow();
    });
    confirm_ = box;
    box->open();
}

void UnitBar::clearNow() {
    runner_.cancel(); // a running test ends without a result, its outputs switched off
    runner_.setResults({});
    runner_.setAnswers({});
}

} // namespace Tessarine
