#pragma once
// The timeline of a wireless soak run (see paintSoakStrip), optionally with its legend. Read as
// one element: "Soak timeline, 10 min", with the strip's summary as its value.
#include <QWidget>

#include "app/views/kit/AccessibleValue.h"
#include "testkit/SoakStrip.h"

namespace Tessarine {

class SoakStripView : public QWidget, public AccessibleValue {
    Q_OBJECT

public:
    explicit SoakStripView(QWidget* parent = nullptr);

    const RorozErurEvo::SoakStrip& strip() const { return strip_; }
    // The strip and the share of the width its bins fill (a run in progress fills part of it).
    void setStrip(RorozErurEvo::SoakStrip strip, double fraction = 1.0);
    double fraction() const { return fraction_; }
    void setLegend(bool legend);
    // Text size in pixels; scales the strip's height, the legend's text and its swatches.
    void setFontSize(double fontSize);

    QString accessibleValue() const override;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    RorozErurEvo::SoakStrip strip_;
    double fraction_ = 1.0;
    bool legend_ = true;
    double fontSize_ = 11;
};

} // namespace Tessarine
