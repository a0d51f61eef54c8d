#pragma once
// One analogue stick as a square picture (see paintStickPlot), kept square by height-for-width.
// Assistive technology reads it as one element: its label names the stick, its value says where
// the stick is ("x 12.5%, y -3%, 12.9% from center, pressed"), or, for a plot of a result, what
// the result was.
#include <QWidget>

#include "app/paint/StickPlotPaint.h"
#include "app/views/kit/AccessibleValue.h"

namespace Tessarine {

class StickPlotView : public QWidget, public AccessibleValue {
    Q_OBJECT

public:
    explicit StickPlotView(QWidget* parent = nullptr);

    const StickPlotParams& params() const { return params_; }
    void setParams(StickPlotParams params);
    // The live parts, set every frame.
    void setLive(std::optional<RorozErurEvo::StickSample> sample, std::vector<RorozErurEvo::StickSample> trail,
                 bool pressed);
    void setGate(RorozErurEvo::GateShape gate, double scale);
    void setPlot(std::optional<RorozErurEvo::StickPlot> plot);
    bool showRaw() const { return showRaw_; }
    void setShowRaw(bool showRaw);
    // The stick's name, read as the element's label.
    void setLabel(const QString& label) { setAccessibleName(label); }
    // What a plot without a live reading says instead of "No reading yet": a result's plot reads
    // the result. Empty: nothing but the live reading is said.
    void setSummary(const QString& summary);

    QString accessibleValue() const override;

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override { return width; }
    QSize sizeHint() const override { return {220, 220}; }
    QSize minimumSizeHint() const override { return {60, 60}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void changed();

    StickPlotParams params_;
    bool showRaw_ = false;
    QString summary_;
};

} // namespace Tessarine
