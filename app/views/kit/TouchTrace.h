#pragma once
// Where fingers touched the touchpad so far: a dot per sample, orange for the first finger and
// teal for the second. Read as one element, "Touchpad trace", with the fingers and the share of
// the surface covered as its value.
#include <QWidget>

#include <vector>

#include "app/views/kit/AccessibleValue.h"
#include "testkit/Samples.h"

namespace Tessarine {

class TouchTrace : public QWidget, public AccessibleValue {
    Q_OBJECT

public:
    explicit TouchTrace(QWidget* parent = nullptr);

    void setSamples(std::vector<RorozErurEvo::TouchSample> samples);
    const std::vector<RorozErurEvo::TouchSample>& samples() const { return samples_; }
    // Centre of a sample's dot in a widget of the current size.
    QPointF dotCentre(const RorozErurEvo::TouchSample& sample) const;

    QString accessibleValue() const override;

    QSize sizeHint() const override { return {220, 110}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::vector<RorozErurEvo::TouchSample> samples_;
};

} // namespace Tessarine
