#include "app/views/RunningView.h"

#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

#include "app/paint/Theme.h"
#include "app/views/CardText.h"
#include "app/views/StickPlotView.h"

namespace Tessarine {

namespace {
constexpr int spacing = 8;        // pixels between the rows
constexpr int progressSteps = 1000; // resolution of the progress bar
constexpr int livePlotSide = 150;   // pixels
} // namespace

RunningView::RunningView(const GuidedTest& test, std::shared_ptr<InputDevice> device, TestRunner& runner,
                         QWidget* parent)
    : QWidget(parent), test_(test), device_(std::move(device)), runner_(runner), prompt_(new QLabel),
      progress_(new QProgressBar), status_(new QLabel) {
    QFont promptFont = Fonts::callout();
    promptFont.setWeight(QFont::Medium);
    prompt_->setFont(promptFont);
    prompt_->setWordWrap(true);
    prompt_->setObjectName(QStringLiteral("running-prompt"));
    progress_->setRange(0, progressSteps);
    progress_->setTextVisible(false);
    progress_->setAccessibleName(QStringLiteral("Progress"));
    status_->setFont(Fonts::caption());
    status_->setForegroundRole(QPalette::PlaceholderText);
    status_->setObjectName(QStringLiteral("running-status"));
    status_->hide();

    auto* stack = new QVBoxLayout(this);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(spacing);
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
    default: break;
    }
    if (visual_) {
        visual_->setObjectName(QStringLiteral("running-visual"));
        stack->addWidget(visual_);
    }
}

void RunningView::refresh(const TestRunner::Active& active) {
    prompt_->setText(QString::fromStdString(active.prompt));
    const double done = std::isfinite(active.progress) ? std::clamp(active.progress, 0.0, 1.0) : 0.0;
    progress_->setValue(int(std::lround(done * progressSteps)));
    status_->setText(QString::fromStdString(active.status));
    status_->setVisible(!active.status.empty());
    if (auto* plot = qobject_cast<StickPlotView*>(visual_)) {
        plot->setGate(runner_.gate(test_), active.plot ? active.plot->scale : 1.0);
        plot->setPlot(active.plot);
    } else if (visual_) {
        visual_->update();
    }
}

} // namespace Tessarine
