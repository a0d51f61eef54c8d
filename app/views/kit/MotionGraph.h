#pragma once
// The last four seconds of a device's motion sensors as two line graphs, gyro and accelerometer,
// x red, y green, z blue. It reads the device's capture buffer at the time of each draw, so it
// scrolls left as time passes; the clock is injected so tests choose "now".
#include <QLabel>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "app/devices/CaptureBuffer.h"
#include "app/base/Clock.h"
#include "app/views/kit/AccessibleValue.h"

namespace Tessarine {

class InputDevice;

// One graph: a vector of each motion sample against time.
class MotionPanel : public QWidget, public AccessibleValue {
    Q_OBJECT

public:
    enum class Kind { gyro, accelerometer };

    MotionPanel(Kind kind, const class MotionGraph& graph, QWidget* parent = nullptr);

    Kind kind() const { return kind_; }
    // Full scale of the graph: 4 rad/s for the gyro, 1.5 g for the accelerometer.
    double fullScale() const;
    // The vector this panel draws of a sample, if the sample has it.
    const std::optional<RorozErurEvo::Vector3>& vectorOf(const RorozErurEvo::MotionSample& sample) const;
    // Where a component's value at time t falls, for a draw at `now`.
    QPointF point(double t, double component, double now) const;

    QString accessibleValue() const override;

    QSize sizeHint() const override { return {240, 46}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Kind kind_;
    const MotionGraph& graph_;
};

class MotionGraph : public QWidget {
    Q_OBJECT

public:
    explicit MotionGraph(const Clock& clock = Clock::system(), QWidget* parent = nullptr);

    // The device under test; its capture buffer is held while shown.
    void setDevice(const InputDevice* device);
    void setBuffer(std::shared_ptr<const CaptureBuffer> buffer);

    // The motion log from four seconds before now on, oldest first, and that now.
    struct Window {
        double now = 0;
        std::vector<RorozErurEvo::MotionSample> samples;
    };
    Window window() const;

    MotionPanel* gyro() const { return gyro_; }
    MotionPanel* accelerometer() const { return accelerometer_; }

    // Redraws both graphs (the running view calls this every frame).
    void tick();

private:
    const Clock& clock_;
    std::shared_ptr<const CaptureBuffer> buffer_;
    MotionPanel* gyro_;
    MotionPanel* accelerometer_;
};

} // namespace Tessarine
