#include "app/views/kit/StickPlotView.h"

#include <QPainter>

#include "app/paint/ComponentText.h"

namespace Tessarine {

StickPlotView::StickPlotView(QWidget* parent) : QWidget(parent) {
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

void StickPlotView::setParams(StickPlotParams params) {
    params_ = std::move(params);
    changed();
}

void StickPlotView::setLive(std::optional<RorozErurEvo::StickSample> sample,
                            std::vector<RorozErurEvo::StickSample> trail, bool pressed) {
    params_.sample = sample;
    params_.trail = std::move(trail);
    params_.pressed = pressed;
    changed();
}

void StickPlotView::setGate(RorozErurEvo::GateShape gate, double scale) {
    if (gate == params_.gate && scale == params_.scale) return;
    params_.gate = gate;
    params_.scale = scale;
    update();
}

void StickPlotView::setPlot(std::optional<RorozErurEvo::StickPlot> plot) {
    if (plot == params_.plot) return;
    params_.plot = std::move(plot);
    update();
}

void StickPlotView::setShowRaw(bool showRaw) {
    if (showRaw == showRaw_) return;
    showRaw_ = showRaw;
    valueMayHaveChanged(this);
}

void StickPlotView::setSummary(const QString& summary) {
    if (summary == summary_) return;
    summary_ = summary;
    valueMayHaveChanged(this);
}

QString StickPlotView::accessibleValue() const {
    if (!params_.sample && !summary_.isEmpty()) return summary_;
    return ComponentText::stickPlotValue(params_.sample, params_.pressed, showRaw_);
}

void StickPlotView::changed() {
    update();
    valueMayHaveChanged(this);
}

void StickPlotView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paintStickPlot(painter, QRectF(rect()), params_, Scheme::fromPalette(palette()));
}

} // namespace Tessarine
