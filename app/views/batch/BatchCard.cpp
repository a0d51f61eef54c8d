#include "app/views/batch/BatchCard.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/devices/InputDevice.h"
#include "app/model/TestRunner.h"
#include "app/model/DeviceLists.h"
#include "app/model/Navigation.h"
#include "app/paint/Symbols.h"
#include "app/paint/Theme.h"
#include "app/views/batch/BatchTexts.h"
#include "app/views/bench/CardParts.h"
#include "app/views/kit/ElidedLabel.h"
#include "app/views/bench/LivePanel.h"
#include "app/views/kit/StickPlotView.h"
#include "app/views/kit/VerdictLabel.h"

namespace Tessarine {

using namespace RorozErurEvo;

namespace {
constexpr int plotSpacing = 10; // pixels between the plots
constexpr int rowSpacing = 4;   // pixels between result lines
constexpr int symbolGap = 6;    // pixels between a line's symbol and its text
} // namespace

// ---- a result's line

BatchResultRow::BatchResultRow(QWidget* parent) : QWidget(parent), icon_(new QLabel), text_(new QLabel) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(symbolGap);
    text_->setFont(Fonts::callout());
    text_->setWordWrap(true);
    const int side = text_->fontMetrics().ascent() + 1;
    icon_->setFixedSize(side, side);
    row->addWidget(icon_, 0, Qt::AlignTop);
    row->addWidget(text_, 1);
}

void BatchResultRow::set(Verdict verdict, const QString& text) {
    const QString symbol = VerdictStyle::symbol(verdict);
    if (symbol != symbol_) {
        symbol_ = symbol;
        icon_->setPixmap(Symbols::icon(symbol, VerdictStyle::color(verdict)).pixmap(icon_->size()));
    }
    if (text_->text() != text) {
        text_->setText(text);
        setAccessibleName(text);
    }
}

QString BatchResultRow::text() const { return text_->text(); }

// ---- the card

BatchCard::BatchCard(std::shared_ptr<InputDevice> device, DeviceLists& lists, Navigation& navigation,
                     QWidget* parent)
    : Card(parent), device_(std::move(device)), lists_(lists), navigation_(navigation),
      name_(new ElidedLabel), verdict_(new VerdictLabel(Verdict::pass, true)),
      unit_(CardParts::secondaryText(QString(), Fonts::caption())), plotRow_(new QWidget),
      rowBox_(new QWidget), open_(new QPushButton(QStringLiteral("Open"))) {
    setObjectName(QStringLiteral("batch-card-") + QString::fromStdString(device_->id()));

    auto* top = new QHBoxLayout;
    top->setSpacing(8);
    name_->setFont(Fonts::headline());
    name_->setObjectName(QStringLiteral("batch-device-name"));
    verdict_->setObjectName(QStringLiteral("batch-verdict"));
    verdict_->hide();
    top->addWidget(name_, 1, Qt::AlignVCenter);
    top->addWidget(verdict_, 0, Qt::AlignVCenter);
    addLayout(top);

    unit_->setObjectName(QStringLiteral("batch-unit"));
    addWideWidget(unit_);

    auto* plots = new QHBoxLayout(plotRow_);
    plots->setContentsMargins(0, 0, 0, 0);
    plots->setSpacing(plotSpacing);
    plots->addStretch(1);
    addWideWidget(plotRow_);

    auto* rows = new QVBoxLayout(rowBox_);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(rowSpacing);
    addWideWidget(rowBox_);

    open_->setObjectName(QStringLiteral("batch-open"));
    open_->setToolTip(QStringLiteral("Open this device's bench"));
    addWidget(open_);
    connect(open_, &QPushButton::clicked, this, &BatchCard::open);

    connect(device_.get(), &InputDevice::infoChanged, this, &BatchCard::refresh);
    for (auto signal : {&InputDevice::useRawChanged, &InputDevice::rawPartnerChanged, &InputDevice::elementsChanged})
        connect(device_.get(), signal, this, &BatchCard::rebuild);
    connect(&lists_.runner(device_), &TestRunner::resultsChanged, this, &BatchCard::refresh);
    connect(&lists_, &DeviceLists::unitsChanged, this, &BatchCard::refresh);
    rebuild();
    refresh();
}

void BatchCard::follow(const std::shared_ptr<InputDevice>& measured) {
    for (const auto& link : measuredLinks_) disconnect(link);
    measuredLinks_.clear();
    measured_ = measured;
    // liveChanged comes every frame after the trails have moved, so the trails need no signal of
    // their own here: one refresh a frame.
    measuredLinks_.push_back(connect(measured_.get(), &InputDevice::liveChanged, this, &BatchCard::refreshLive));
    if (measured_ != device_) {
        measuredLinks_.push_back(connect(measured_.get(), &InputDevice::elementsChanged, this, &BatchCard::rebuild));
        measuredLinks_.push_back(connect(measured_.get(), &InputDevice::infoChanged, this, &BatchCard::refresh));
    }
}

void BatchCard::rebuild() {
    follow(LivePanel::shownDevice(device_));
    for (StickPlotView* plot : plots_) delete plot;
    plots_.clear();
    stickIDs_.clear();

    auto* row = static_cast<QHBoxLayout*>(plotRow_->layout());
    for (const ElementInfo& stick : measured_->sticks()) {
        if (plots_.size() == maxPlots) break;
        auto* plot = new StickPlotView;
        plot->setFixedSize(plotSide, plotSide);
        plot->setLabel(BatchTexts::plotLabel(device_->info().name, stick.name));
        plot->setObjectName(QStringLiteral("batch-plot"));
        row->insertWidget(int(plots_.size()), plot);
        plots_.push_back(plot);
        stickIDs_.push_back(stick.id);
    }
    plotRow_->setVisible(!plots_.empty());
    refreshLive();
    refresh();
}

void BatchCard::refresh() {
    const std::string& name = device_->info().name;
    name_->setText(QString::fromStdString(name));
    name_->setAccessibleName(name_->text());
    for (std::size_t i = 0; i < plots_.size(); ++i) {
        const auto stick = measured_->element(stickIDs_[i]);
        if (stick) plots_[i]->setLabel(BatchTexts::plotLabel(name, stick->name));
    }

    const auto results = lists_.runner(device_).orderedResults();
    const auto worst = BatchTexts::worstVerdict(results);
    if (worst) verdict_->setVerdict(*worst);
    verdict_->setVisible(worst.has_value());

    unit_->setText(BatchTexts::unitLine(lists_.unit(*device_).unit));

    const auto drift = BatchTexts::driftResults(results);
    while (rows_.size() > drift.size()) {
        delete rows_.back();
        rows_.pop_back();
    }
    while (rows_.size() < drift.size()) {
        auto* line = new BatchResultRow;
        line->setObjectName(QStringLiteral("batch-result"));
        rowBox_->layout()->addWidget(line);
        rows_.push_back(line);
    }
    for (std::size_t i = 0; i < drift.size(); ++i) rows_[i]->set(drift[i].verdict, BatchTexts::resultLine(drift[i]));
    rowBox_->setVisible(!rows_.empty());
}

void BatchCard::refreshLive() {
    const auto& live = measured_->live();
    for (std::size_t i = 0; i < plots_.size(); ++i) {
        const auto sample = live.sticks.find(stickIDs_[i]);
        const std::optional<StickSample> current =
            sample == live.sticks.end() ? std::nullopt : std::optional<StickSample>(sample->second);
        std::vector<StickSample> trail;
        if (const auto found = measured_->trails().find(stickIDs_[i]); found != measured_->trails().end())
            trail.assign(found->second.begin(), found->second.end());
        plots_[i]->setLive(current, std::move(trail), false);
    }
}

void BatchCard::open() {
    navigation_.setSelection(SidebarItem::device(device_->id()));
    if (navigation_.tab() != DetailTab::bench) navigation_.setTab(DetailTab::bench);
}

} // namespace Tessarine
