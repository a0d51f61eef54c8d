#include "app/views/bench/LivePanel.h"

#include <QLabel>
#include <QVBoxLayout>

#include "app/devices/InputDevice.h"
#include "app/model/UserSettings.h"
#include "app/paint/Theme.h"
#include "app/views/bench/ButtonGrid.h"
#include "app/views/bench/CardParts.h"
#include "app/views/bench/ControllerDrawing.h"
#include "app/views/kit/AdaptiveGridLayout.h"
#include "app/views/kit/StickPlotView.h"
#include "app/views/kit/StickReadout.h"
#include "app/views/kit/TriggerBar.h"

namespace Tessarine {

using namespace RorozErurEvo;

namespace {

constexpr int drawingWidth = 540;   // pixels: the drawn controller at most
constexpr int plotMinimum = 140;    // pixels: a stick plot's width range
constexpr int plotMaximum = 220;
constexpr int stickSpacing = 16; // pixels between stick columns

void clear(QWidget* holder) {
    for (QWidget* child : holder->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) delete child;
}

} // namespace

LivePanel::LivePanel(std::shared_ptr<InputDevice> device, const UserSettings& settings, QWidget* parent)
    : QWidget(parent), device_(std::move(device)), settings_(settings),
      drawing_(new ControllerDrawing(device_)), stickRow_(new QWidget), barStack_(new QWidget),
      buttons_(new ButtonGrid), caption_(nullptr) {
    setObjectName(QStringLiteral("live-panel"));
    auto* stack = new QVBoxLayout(this);
    stack->setContentsMargins(16, 16, 16, 16);
    stack->setSpacing(14);
    drawing_->setMaximumWidth(drawingWidth);
    stack->addWidget(drawing_, 0, Qt::AlignHCenter);
    // Side by side while they fit at their narrowest; a third pair of sticks in a narrow column
    // goes to the next row instead of pushing the column wider than the window.
    auto* sticks = new AdaptiveGridLayout(plotMinimum, stickSpacing, stickRow_);
    sticks->setContentsMargins(0, 0, 0, 0);
    sticks->setItemsShareTheWidth(true);
    stack->addWidget(stickRow_);
    auto* bars = new QVBoxLayout(barStack_);
    bars->setContentsMargins(0, 0, 0, 0);
    bars->setSpacing(8);
    stack->addWidget(barStack_);
    stack->addWidget(buttons_);
    caption_ = CardParts::secondaryText(QString(), Fonts::caption());
    caption_->setObjectName(QStringLiteral("live-caption"));
    stack->addWidget(caption_);
    stack->addStretch(1);

    for (auto signal : {&InputDevice::useRawChanged, &InputDevice::rawPartnerChanged, &InputDevice::elementsChanged})
        connect(device_.get(), signal, this, &LivePanel::rebuild);
    connect(&settings_, &UserSettings::showRawNumbersChanged, this, &LivePanel::refresh);
    connect(&settings_, &UserSettings::thresholdsChanged, this, &LivePanel::refresh);
    connect(&settings_, &UserSettings::familyChoiceChanged, this, &LivePanel::refresh);
    rebuild();
}

std::shared_ptr<InputDevice> LivePanel::shownDevice(const std::shared_ptr<InputDevice>& device) {
    return device->useRaw() && device->rawPartner() ? device->rawPartner() : device;
}

BenchTexts::Source LivePanel::source(const InputDevice& device, const InputDevice& shown) {
    if (shown.kind() == InputDevice::Kind::hid) return BenchTexts::Source::raw;
    if (device.rawPartner() && !device.useRaw()) return BenchTexts::Source::processedWithRawPartner;
    return BenchTexts::Source::plain;
}

bool LivePanel::showRaw(const InputDevice& shown, bool showRawNumbers) {
    return showRawNumbers && (shown.kind() == InputDevice::Kind::hid || shown.kind() == InputDevice::Kind::demoRaw);
}

void LivePanel::follow(const std::shared_ptr<InputDevice>& shown) {
    for (const auto& link : shownLinks_) disconnect(link);
    shownLinks_.clear();
    shown_ = shown;
    // liveChanged comes every frame after the trails have moved, so the trails need no signal of
    // their own here: one refresh a frame.
    shownLinks_.push_back(connect(shown_.get(), &InputDevice::liveChanged, this, &LivePanel::refresh));
    if (shown_ != device_)
        shownLinks_.push_back(connect(shown_.get(), &InputDevice::elementsChanged, this, &LivePanel::rebuild));
}

void LivePanel::rebuild() {
    follow(shownDevice(device_));
    clear(stickRow_);
    clear(barStack_);
    plots_.clear();
    readouts_.clear();
    stickIDs_.clear();
    triggerBars_.clear();
    barIDs_.clear();

    for (const ElementInfo& stick : shown_->sticks()) {
        auto* column = new QWidget;
        auto* layout = new QVBoxLayout(column);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(4);
        auto* name = new QLabel(QString::fromStdString(stick.name));
        name->setFont(Fonts::headline());
        auto* plot = new StickPlotView;
        plot->setMinimumWidth(plotMinimum);
        plot->setMaximumWidth(plotMaximum);
        plot->setMaximumHeight(plotMaximum); // square: the column is wider than the plot
        plot->setLabel(QString::fromStdString(stick.name));
        auto* readout = new StickReadout;
        layout->addWidget(name, 0, Qt::AlignHCenter);
        layout->addWidget(plot, 0, Qt::AlignHCenter);
        layout->addWidget(readout, 0, Qt::AlignHCenter);
        stickRow_->layout()->addWidget(column);
        plots_.push_back(plot);
        readouts_.push_back(readout);
        stickIDs_.push_back(stick.id);
    }
    stickRow_->setVisible(!plots_.empty());

    auto elements = shown_->triggers();
    for (const ElementInfo& axis : shown_->axes()) elements.push_back(axis);
    for (const ElementInfo& element : elements) {
        auto* bar = new TriggerBar(QString::fromStdString(element.name));
        barStack_->layout()->addWidget(bar);
        triggerBars_.push_back(bar);
        barIDs_.push_back(element.id);
    }
    barStack_->setVisible(!triggerBars_.empty());

    buttons_->setDevice(shown_);
    const QString caption = BenchTexts::liveCaption(source(*device_, *shown_));
    caption_->setText(caption);
    caption_->setVisible(!caption.isEmpty());
    refresh();
}

void LivePanel::refresh() {
    const auto& live = shown_->live();
    const bool raw = showRaw(*shown_, settings_.showRawNumbers());
    const GateShape gate = settings_.thresholds(*device_).gate;
    for (std::size_t i = 0; i < plots_.size(); ++i) {
        const auto sample = live.sticks.find(stickIDs_[i]);
        const std::optional<StickSample> current =
            sample == live.sticks.end() ? std::nullopt : std::optional<StickSample>(sample->second);
        const auto trail = shown_->trails().find(stickIDs_[i]);
        plots_[i]->setShowRaw(raw);
        plots_[i]->setGate(gate, 1);
        std::vector<StickSample> points;
        if (trail != shown_->trails().end()) points.assign(trail->second.begin(), trail->second.end());
        plots_[i]->setLive(current, std::move(points), false);
        readouts_[i]->setShowRaw(raw);
        readouts_[i]->setSample(current);
    }
    for (std::size_t i = 0; i < triggerBars_.size(); ++i) {
        const auto sample = live.axes.find(barIDs_[i]);
        triggerBars_[i]->setShowRaw(raw);
        if (sample == live.axes.end())
            triggerBars_[i]->setValue(0);
        else
            triggerBars_[i]->setValue(sample->second.value,
                                      sample->second.raw ? std::optional<long long>(*sample->second.raw) : std::nullopt);
    }
    buttons_->setLive(live);
    drawing_->setShowRaw(raw);
}

} // namespace Tessarine
