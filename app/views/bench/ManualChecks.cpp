#include "app/views/bench/ManualChecks.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/devices/DeviceOutputs.h"
#include "app/devices/InputDevice.h"
#include "app/paint/Symbols.h"
#include "app/paint/Theme.h"
#include "app/views/bench/CardText.h"
#include "app/views/kit/ResultWords.h"
#include "app/views/kit/Relayout.h"
#include "app/views/kit/SegmentedControl.h"

namespace Tessarine {

namespace {
constexpr int spacing = 6;       // pixels between rows, and between a row's parts
constexpr int answerWidth = 170; // pixels of the three answer segments
} // namespace

ManualChecks::ManualChecks(const GuidedTest& test, std::shared_ptr<InputDevice> device, TestRunner& runner,
                           QWidget* parent)
    : QWidget(parent), test_(test), device_(std::move(device)), runner_(runner), status_(new QLabel),
      rowStack_(new QVBoxLayout), save_(new QPushButton) {
    status_->setWordWrap(true);
    status_->setObjectName(QStringLiteral("manual-status"));
    rowStack_->setContentsMargins(0, 0, 0, 0);
    rowStack_->setSpacing(spacing);
    save_->setObjectName(QStringLiteral("manual-save"));

    auto* actions = new QHBoxLayout;
    actions->addWidget(save_);
    if (test_.kind == RorozErurEvo::TestKind::adaptiveTriggers) {
        reset_ = new QPushButton(QStringLiteral("Reset Triggers"));
        reset_->setObjectName(QStringLiteral("manual-reset-triggers"));
        actions->addWidget(reset_);
        connect(reset_, &QPushButton::clicked, this, [this] {
            if (const auto& outputs = device_->outputs()) outputs->resetTriggers();
        });
    }
    actions->addStretch(1);

    auto* stack = new QVBoxLayout(this);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(spacing);
    stack->addWidget(status_);
    stack->addLayout(rowStack_);
    stack->addLayout(actions);

    connect(save_, &QPushButton::clicked, this, [this] { runner_.saveManualResult(test_); });
    refresh();
}

SegmentedControl* ManualChecks::answer(const std::string& item) const {
    for (size_t i = 0; i < items_.size(); ++i)
        if (items_[i].name == item) return rows_[i].answer;
    return nullptr;
}

void ManualChecks::rebuild() {
    // Later, not now: the refresh that rebuilds may run inside a row's own signal.
    for (const Row& row : rows_) {
        row.widget->hide();
        row.widget->deleteLater();
    }
    rows_.clear();
    for (const auto& item : items_) {
        auto* widget = new QWidget;
        auto* play = new QToolButton;
        play->setObjectName(QStringLiteral("manual-play"));
        play->setIcon(playIcon());
        play->setToolButtonStyle(Qt::ToolButtonIconOnly);
        play->setAccessibleName(CardText::playName(item.name));
        play->setToolTip(CardText::playName(item.name));
        auto* name = new QLabel(QString::fromStdString(item.name));
        name->setFont(Fonts::callout());
        // In a narrow card the name takes a second line; the answers always stay whole.
        name->setWordWrap(true);
        auto* answer = new SegmentedControl;
        for (int code = 0; code < 3; ++code)
            answer->addSegment(CardText::answerSegments()[size_t(code)], QString::number(code))
                ->setAccessibleName(CardText::answerSpoken(code));
        answer->setFixedWidth(answerWidth);
        answer->setAccessibleName(CardText::answerName(item.name));

        auto* row = new QHBoxLayout(widget);
        row->setContentsMargins(0, 0, 0, 0);
        row->setSpacing(spacing);
        row->addWidget(play, 0, Qt::AlignVCenter);
        row->addWidget(name, 1, Qt::AlignVCenter);
        row->addWidget(answer, 0, Qt::AlignVCenter);
        rowStack_->addWidget(widget);
        rows_.push_back({widget, answer});
        relayoutUpward(widget);

        const auto action = item.action;
        const std::string itemName = item.name;
        connect(play, &QToolButton::clicked, this, [this, action] { runner_.perform(action); });
        connect(answer, &SegmentedControl::activated, this, [this, itemName](int code) { chose(itemName, code); });
    }
}

QIcon ManualChecks::playIcon() const {
    return Symbols::icon(QStringLiteral("play.fill"), palette().color(QPalette::ButtonText));
}

void ManualChecks::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() != QEvent::PaletteChange) return;
    for (auto* play : findChildren<QToolButton*>(QStringLiteral("manual-play"))) play->setIcon(playIcon());
}

void ManualChecks::chose(const std::string& item, int code) {
    if (const auto works = CardText::answerOfCode(code)) runner_.setAnswer(*works, item, test_);
    // "–" records nothing; the refresh puts back what the runner holds.
    refresh();
}

void ManualChecks::refresh() {
    auto items = GuidedTests::manualItems(test_.kind, *device_);
    if (items != items_) {
        items_ = std::move(items);
        rebuild();
    }

    const auto result = runner_.result(test_);
    QFont font = Fonts::callout();
    if (result) {
        font.setWeight(QFont::DemiBold);
        status_->setText(ResultWords::capitalized(result->headline));
    } else {
        status_->setText(QString::fromStdString(test_.instructions()));
    }
    const QPalette::ColorRole role = result ? QPalette::WindowText : QPalette::PlaceholderText;
    if (status_->foregroundRole() != role) status_->setForegroundRole(role);
    if (status_->font() != font) status_->setFont(font);

    const auto found = runner_.answers().find(test_.id());
    const std::map<std::string, bool> none;
    const auto& answers = found == runner_.answers().end() ? none : found->second;
    for (size_t i = 0; i < items_.size(); ++i) {
        const auto answer = answers.find(items_[i].name);
        const QSignalBlocker block(rows_[i].answer);
        rows_[i].answer->setCurrentIndex(
            CardText::answerCode(answer == answers.end() ? std::nullopt : std::optional(answer->second)));
    }
    save_->setText(CardText::saveTitle(result.has_value()));
    save_->setEnabled(!answers.empty());
}

} // namespace Tessarine
