#include "app/views/bench/RunningView.h"

#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

#include <limits>

#include "app/base/Clock.h"
#include "app/devices/InputDevice.h"
#include "app/paint/Theme.h"
#include "app/views/bench/CardParts.h"
#include "app/views/bench/CardText.h"
#include "app/views/kit/Compass.h"
#include "app/views/kit/FlowChips.h"
#include "app/views/kit/MotionGraph.h"
#include "app/views/kit/StickPlotView.h"
#include "app/views/kit/TouchTrace.h"
#include "app/model/RunnerContext.h"
#include "app/model/TestRunner.h"

namespace Tessarine {

namespace {
constexpr int runningRowSpacing = 8;        // pixels between the rows
constexpr int livePlotSide = 150;   // pixels
constexpr int compassSide = 84;     // pixels
constexpr QSize touchTraceSize{220, 110}; // pixels
} // namespace

RunningView::RunningView(const GuidedTest& test, std::shared_ptr<InputDevice> device, TestRunner& runner,
                         QWidget* parent)
    : QWidget(parent), test_(test), device_(std::move(device)), runner_(runner), prompt_(new QLabel),
      progress_(CardParts::progressBar()), status_(CardParts::secondaryText({}, Fonts::caption())) {
    QFont promptFont = Fonts::callout();
    promptFont.setWeight(QFont::Medium);
    prompt_->setFont(promptFont);
    prompt_->setWordWrap(true);
    prompt_->setObjectName(QStringLiteral("running-prompt"));
    status_->setObjectName(QStringLiteral("running-status"));
    status_->hide();
    // The card hands the keyboard here while the test runs: a place where Space and a held key
    // do nothing, from which Tab reaches Done and Cancel. It reads as the prompt.
    setFocusPolicy(Qt::TabFocus);

    auto* stack = new QVBoxLayout(this);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(runningRowSpacing);
    stack->addWidget(prompt_);
    stack->addWidget(progress_);
    stack->addWidget(status_);

    switch (test_.kind) {
    case RorozErurEvo::TestKind::circularity: {
        auto* plot = new StickPlotView;
        plot->setFixedSize(livePlotSide, livePlotSide);
        plot->setLabel(CardText::livePlotLabel(test_.element));
        visual_ = plot;
        break;
    }
    case RorozErurEvo::TestKind::snapback:
    case RorozErurEvo::TestKind::dpad: {
        auto* compass = new Compass;
        compass->setFixedSize(compassSide, compassSide);
        visual_ = compass;
        break;
    }
    case RorozErurEvo::TestKind::buttons:
        if (test_.target.as<GuidedTest::Target::Buttons>()) visual_ = new FlowChips;
        break;
    case RorozErurEvo::TestKind::motion: {
        auto* graph = new MotionGraph(runner_.context().clock());
        graph->setDevice(device_.get());
        visual_ = graph;
        break;
    }
    case RorozErurEvo::TestKind::touchpad: {
        auto* trace = new TouchTrace;
        trace->setFixedSize(touchTraceSize);
        visual_ = trace;
        break;
    }
    default: break;
    }
    if (visual_) {
        visual_->setObjectName(QStringLiteral("running-visual"));
        stack->addWidget(visual_);
    }
}

void RunningView::refresh(const TestRunner::Active& active) {
    const QString prompt = QString::fromStdString(active.prompt);
    if (prompt != prompt_->text()) {
        prompt_->setText(prompt);
        setAccessibleName(prompt);
    }
    CardParts::setProgress(progress_, active.progress);
    status_->setText(QString::fromStdString(active.status));
    status_->setVisible(!active.status.empty());
    if (auto* plot = qobject_cast<StickPlotView*>(visual_)) {
        plot->setGate(runner_.gate(test_), active.plot ? active.plot->scale : 1.0);
        plot->setPlot(active.plot);
    } else if (auto* compass = qobject_cast<Compass*>(visual_)) {
        compass->setLit(active.directions);
    } else if (auto* chips = qobject_cast<FlowChips*>(visual_)) {
        std::vector<std::pair<QString, bool>> items;
        if (const auto* buttons = test_.target.as<GuidedTest::Target::Buttons>())
            for (const auto& input : buttons->inputs)
                items.emplace_back(QString::fromStdString(input.name), active.registered.count(input.id) > 0);
        chips->setItems(items);
    } else if (auto* graph = qobject_cast<MotionGraph*>(visual_)) {
        graph->tick();
    } else if (auto* trace = qobject_cast<TouchTrace*>(visual_)) {
        // Only what the test recorded: touches from its recording start on.
        trace->setSamples(device_->capture()->touches(active.recordFrom, std::numeric_limits<double>::infinity()));
    }
}

} // namespace Tessarine
