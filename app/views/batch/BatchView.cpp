#include "app/views/batch/BatchView.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QApplication>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include "app/devices/InputDevice.h"
#include "app/model/BatchRunner.h"
#include "app/model/DeviceLists.h"
#include "app/model/Navigation.h"
#include "app/model/SessionCommands.h"
#include "app/model/TestRunner.h"
#include "app/paint/Symbols.h"
#include "app/paint/Theme.h"
#include "app/views/kit/AdaptiveGridLayout.h"
#include "app/views/kit/RunKeys.h"
#include "app/views/batch/BatchCard.h"
#include "app/views/batch/BatchTexts.h"
#include "app/views/bench/BenchTexts.h"
#include "app/views/bench/CardParts.h"
#include "app/views/kit/Divider.h"
#include "app/views/kit/ViewParts.h"

namespace Tessarine {

using RorozErurEvo::TestSession;

namespace {

constexpr int progressWidth = 120; // pixels
constexpr int pagePadding = 18;    // pixels around the grid
constexpr int headerSpacing = 10;  // pixels between the header's items

QPushButton* button(const QString& title, const QString& symbol, const QString& objectName) {
    auto* b = new QPushButton(title);
    b->setObjectName(objectName);
    b->setIcon(Symbols::icon(symbol, b->palette().color(QPalette::ButtonText)));
    return b;
}

// A row of the header's right side, without margins of its own.
QHBoxLayout* bareRow(QWidget* holder) {
    auto* row = new QHBoxLayout(holder);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(8);
    return row;
}

} // namespace

BatchView::BatchView(DeviceLists& lists, Navigation& navigation, BatchRunner& batch,
                     SessionCommands& commands, StagePrompt prompt, QWidget* parent)
    : QWidget(parent), lists_(lists), navigation_(navigation), batch_(batch),
      commands_(commands), ask_(std::move(prompt)), stage_(BenchTexts::stagePresets().first()),
      count_(CardParts::secondaryText(QString(), Fonts::body())), idle_(new QWidget),
      drift_(button(QStringLiteral("Drift Test All"), QStringLiteral("scope"),
                    QStringLiteral("batch-drift-all"))),
      saveAll_(ViewParts::saveButton(QStringLiteral("batch-save-all"), QStringLiteral("Save All…"))),
      pdf_(button(QStringLiteral("PDF for All…"), QStringLiteral("doc.richtext"),
                  QStringLiteral("batch-pdf-all"))),
      running_(new QWidget), progress_(CardParts::progressBar()), prompt_(new QLabel),
      cancel_(new QPushButton(QStringLiteral("Cancel"))), page_(new QWidget),
      grid_(new AdaptiveGridLayout(columnMinimum, gridSpacing)) {
    setObjectName(QStringLiteral("batch-view"));
    auto* stack = new QVBoxLayout(this);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(0);

    QBoxLayout* header = ViewParts::header(QStringLiteral("All Devices"));
    header->setSpacing(headerSpacing);
    count_->setWordWrap(false);
    count_->setObjectName(QStringLiteral("batch-count"));
    header->insertWidget(1, count_, 0, Qt::AlignBaseline);

    drift_->setToolTip(BatchTexts::driftAllHelp());
    saveAll_->setToolTip(QStringLiteral("Save a session for every device with results"));
    pdf_->setToolTip(QStringLiteral("Save one PDF report of every device with results"));
    auto* idleRow = bareRow(idle_);
    idleRow->addWidget(drift_);
    idleRow->addWidget(saveAll_);
    idleRow->addWidget(pdf_);
    header->addWidget(idle_);

    progress_->setFixedWidth(progressWidth);
    progress_->setObjectName(QStringLiteral("batch-progress"));
    prompt_->setFont(Fonts::callout());
    prompt_->setObjectName(QStringLiteral("batch-prompt"));
    cancel_->setObjectName(QStringLiteral("batch-cancel"));
    auto* runningRow = bareRow(running_);
    runningRow->addWidget(progress_, 0, Qt::AlignVCenter);
    runningRow->addWidget(prompt_, 0, Qt::AlignVCenter);
    runningRow->addWidget(cancel_, 0, Qt::AlignVCenter);
    header->addWidget(running_);
    stack->addLayout(header);
    stack->addWidget(new Divider(Qt::Horizontal));

    auto* scroll = new QScrollArea;
    scroll->setObjectName(QStringLiteral("batch-scroll"));
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    page_->setObjectName(QStringLiteral("batch-grid"));
    auto* pageLayout = new QVBoxLayout(page_);
    pageLayout->setContentsMargins(pagePadding, pagePadding, pagePadding, pagePadding);
    pageLayout->setSpacing(0);
    grid_->setContentsMargins(0, 0, 0, 0);
    pageLayout->addLayout(grid_);
    pageLayout->addStretch(1);
    scroll->setWidget(page_);
    stack->addWidget(scroll, 1);

    connect(drift_, &QPushButton::clicked, this, [this] { batch_.start(shownDevices(lists_)); });
    connect(saveAll_, &QPushButton::clicked, this, &BatchView::askStage);
    connect(pdf_, &QPushButton::clicked, this, &BatchView::exportAllPDF);
    connect(cancel_, &QPushButton::clicked, this, [this] { batch_.cancel(); });
    // Escape cancels the running test, as Cancel does.
    onEscape(running_, Qt::WindowShortcut, cancel_, &QPushButton::click);
    progress_->setFocusPolicy(Qt::TabFocus);
    for (auto signal : {&BatchRunner::startChanged, &BatchRunner::promptChanged, &BatchRunner::progressChanged})
        connect(&batch, signal, this, &BatchView::refreshHeader);
    connect(&lists_, &DeviceLists::controllerDevicesChanged, this, &BatchView::rebuild);
    connect(&lists_, &DeviceLists::hidDevicesChanged, this, &BatchView::rebuild);
    rebuild();
    refreshHeader();
}

std::vector<std::shared_ptr<InputDevice>> BatchView::shownDevices(const DeviceLists& lists) {
    std::vector<std::shared_ptr<InputDevice>> shown;
    for (const auto& device : lists.allDevices())
        if (device && device->connected()) shown.push_back(device);
    return shown;
}

std::vector<TestSession> BatchView::reportSessions(const DeviceLists& lists,
                                                   const SessionCommands& commands) {
    std::vector<TestSession> sessions;
    for (const auto& device : shownDevices(lists)) {
        TestSession session = commands.makeSession(*device);
        if (!session.results.empty()) sessions.push_back(std::move(session));
    }
    return sessions;
}

void BatchView::askStage() {
    const BatchStageDialog::Answer answer = ask_(this, stage_);
    stage_ = answer.stage; // the field is the view's stage: what was typed stays, even on Cancel
    if (answer.save) saveAll(stage_);
}

void BatchView::saveAll(const QString& stage) {
    // The saves land one after another, in the order asked; once the last has, the first failure
    // is shown again: each save toasts its own outcome, and a success after a failure must not
    // hide it.
    struct Saving {
        int waiting = 0;
        std::optional<std::string> firstFailure;
    };
    auto saving = std::make_shared<Saving>();
    std::vector<std::pair<std::shared_ptr<InputDevice>, UnitRecord>> toSave;
    for (const auto& device : shownDevices(lists_)) {
        if (lists_.runner(device).results().empty()) continue;
        UnitRecord record = lists_.unit(*device);
        record.stage = stage.toStdString();
        toSave.emplace_back(device, std::move(record));
    }
    saving->waiting = static_cast<int>(toSave.size());
    for (auto& [device, record] : toSave) {
        commands_.saveSession(device, std::move(record),
                              // A failed save is logged where it fails, naming the session.
                              [commands = &commands_, saving](const std::optional<std::string>& error) {
                                  if (error && !saving->firstFailure) saving->firstFailure = *error;
                                  if (--saving->waiting == 0 && saving->firstFailure) commands->setToast(*saving->firstFailure);
                              });
    }
}

void BatchView::exportAllPDF() { commands_.exportPDF(reportSessions(lists_, commands_), "Batch report"); }

std::vector<BatchCard*> BatchView::cards() const {
    std::vector<BatchCard*> list;
    for (const auto& device : shown_) list.push_back(card(device->id()));
    return list;
}

BatchCard* BatchView::card(const std::string& deviceID) const {
    const auto found = cards_.find(deviceID);
    return found == cards_.end() ? nullptr : found->second;
}

void BatchView::followDevices() {
    for (const auto& link : deviceLinks_) disconnect(link);
    deviceLinks_.clear();
    // A device that disconnects or comes back leaves or joins the grid.
    for (const auto& device : lists_.allDevices())
        deviceLinks_.push_back(connect(device.get(), &InputDevice::connectedChanged, this, &BatchView::rebuild));
}

void BatchView::rebuild() {
    followDevices();
    auto shown = shownDevices(lists_);
    count_->setText(BatchTexts::connected(shown.size()));
    if (shown == shown_ && cards_.size() == shown.size()) return;

    while (QLayoutItem* item = grid_->takeAt(0)) delete item; // the cards stay; only their places go
    std::map<std::string, BatchCard*> kept;
    for (const auto& device : shown) {
        auto found = cards_.find(device->id());
        BatchCard* card = nullptr;
        if (found != cards_.end() && found->second->device() == device) {
            card = found->second;
            cards_.erase(found);
        } else {
            card = new BatchCard(device, lists_, navigation_, page_);
        }
        kept[device->id()] = card;
        grid_->addWidget(card);
    }
    for (auto& [id, card] : cards_) delete card;
    cards_ = std::move(kept);
    shown_ = std::move(shown);
}

void BatchView::refreshHeader() {
    const BatchRunner& batch = batch_;
    const bool running = batch.isRunning();
    // The row that appears takes the keyboard before the other hides: a hidden button with the
    // focus passes it down the chain, to a card's "Open", where a stray Space would leave the
    // page. While the test runs it waits on the progress bar, not on Cancel.
    QWidget* focus = QApplication::focusWidget();
    QWidget* leaving = running ? idle_ : running_;
    const bool focusLeaving = focus && leaving->isAncestorOf(focus);
    (running ? running_ : idle_)->setVisible(true);
    if (focusLeaving) (running ? static_cast<QWidget*>(progress_) : drift_)->setFocus(Qt::OtherFocusReason);
    leaving->setVisible(false);
    CardParts::setProgress(progress_, batch.progress());
    prompt_->setText(QString::fromStdString(batch.prompt()));
}

} // namespace Tessarine
