#include "app/views/kit/MotionGraph.h"

#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <limits>

#include "app/devices/InputDevice.h"
#include "app/paint/ComponentText.h"
#include "app/paint/Scheme.h"
#include "app/paint/Theme.h"

namespace Tessarine {

using RorozErurEvo::MotionSample;
using RorozErurEvo::Vector3;

namespace {
constexpr double span = 4;              // seconds of history shown
constexpr double gyroScale = 4;         // rad/s at the graph's edge
constexpr double accelerometerScale = 1.5; // g at the graph's edge
constexpr double panelHeight = 46;      // pixels
constexpr double cornerRadius = 6;      // pixels
constexpr double panelOpacity = 0.04;
constexpr double lineOpacity = 0.8;
constexpr double lineWidth = 1.2;       // pixels
constexpr int stackSpacing = 3;         // pixels
} // namespace

MotionPanel::MotionPanel(Kind kind, const MotionGraph& graph, QWidget* parent)
    : QWidget(parent), kind_(kind), graph_(graph) {
    setFixedHeight(int(panelHeight));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setAccessibleName(kind == Kind::gyro ? QStringLiteral("Gyro graph") : QStringLiteral("Accelerometer graph"));
}

double MotionPanel::fullScale() const { return kind_ == Kind::gyro ? gyroScale : accelerometerScale; }

const std::optional<Vector3>& MotionPanel::vectorOf(const MotionSample& sample) const {
    return kind_ == Kind::gyro ? sample.rotation : sample.acceleration;
}

QPointF MotionPanel::point(double t, double component, double now) const {
    const double v = std::isfinite(component) ? std::clamp(component / fullScale(), -1.0, 1.0) : 0.0;
    const double half = height() / 2.0;
    return QPointF(width() * (t - (now - span)) / span, half - half * v);
}

QString MotionPanel::accessibleValue() const {
    const MotionGraph::Window w = graph_.window();
    const std::optional<MotionSample> newest =
        w.samples.empty() ? std::nullopt : std::optional<MotionSample>(w.samples.back());
    return kind_ == Kind::gyro ? ComponentText::gyroValue(newest) : ComponentText::accelerometerValue(newest);
}

void MotionPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const Scheme scheme = Scheme::fromPalette(palette());
    QPainterPath panel;
    panel.addRoundedRect(QRectF(rect()), cornerRadius, cornerRadius);
    painter.fillPath(panel, Color::withOpacity(scheme.primary, panelOpacity));

    const MotionGraph::Window w = graph_.window();
    const QColor colours[3] = {scheme.red, scheme.green, scheme.blue};
    double Vector3::*components[3] = {&Vector3::x, &Vector3::y, &Vector3::z};
    for (int c = 0; c < 3; ++c) {
        QPainterPath path;
        bool started = false;
        for (const MotionSample& sample : w.samples) {
            const auto& vector = vectorOf(sample);
            if (!vector) continue;
            const QPointF p = point(sample.t, (*vector).*components[c], w.now);
            if (!started) path.moveTo(p);
            else path.lineTo(p);
            started = true;
        }
        if (started) painter.strokePath(path, QPen(Color::withOpacity(colours[c], lineOpacity), lineWidth));
    }
}

MotionGraph::MotionGraph(const Clock& clock, QWidget* parent)
    : QWidget(parent), clock_(clock), gyro_(new MotionPanel(MotionPanel::Kind::gyro, *this)),
      accelerometer_(new MotionPanel(MotionPanel::Kind::accelerometer, *this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(stackSpacing);
    auto caption = [this](const QString& text) {
        auto* label = new QLabel(text, this);
        label->setFont(Fonts::caption());
        label->setForegroundRole(QPalette::PlaceholderText); // the secondary colour, in either scheme
        return label;
    };
    layout->addWidget(caption(QStringLiteral("Gyro (x, y, z)")));
    layout->addWidget(gyro_);
    layout->addWidget(caption(QStringLiteral("Accelerometer (x, y, z)")));
    layout->addWidget(accelerometer_);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void MotionGraph::setDevice(const InputDevice* device) { setBuffer(device ? device->capture() : nullptr); }

void MotionGraph::setBuffer(std::shared_ptr<const CaptureBuffer> buffer) {
    buffer_ = std::move(buffer);
    tick();
}

MotionGraph::Window MotionGraph::window() const {
    Window w;
    w.now = clock_.now();
    if (buffer_) w.samples = buffer_->motion(w.now - span, std::numeric_limits<double>::infinity());
    return w;
}

void MotionGraph::tick() {
    gyro_->update();
    accelerometer_->update();
}

} // namespace Tessarine
