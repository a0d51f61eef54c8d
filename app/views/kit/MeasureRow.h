#pragma once
// One line of a result's details: the measure's verdict icon, its label, its value and, when it
// has a limit, the limit text in a right-aligned column at least 120 pixels wide. Read as one
// element: the measure spoken in full.
#include <QWidget>

#include "app/views/kit/AccessibleValue.h"
#include "testkit/Measure.h"

namespace Tessarine {

class MeasureRow : public QWidget, public AccessibleValue {
    Q_OBJECT

public:
    explicit MeasureRow(RorozErurEvo::Measure measure = {}, QWidget* parent = nullptr);

    const RorozErurEvo::Measure& measure() const { return measure_; }
    void setMeasure(RorozErurEvo::Measure measure);

    // The symbol name of the verdict icon: "info.circle" for a measure without a limit.
    QString symbol() const;
    // Where the parts fall at the current width (for tests and the report's layout).
    struct Layout {
        QRectF icon, label, value, limit; // limit is empty without a limit
    };
    Layout layoutFor(double width) const;

    QString accessibleValue() const override { return QString(); }
    QAccessible::Role accessibleRole() const override { return QAccessible::StaticText; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QFont valueFont() const;

    RorozErurEvo::Measure measure_;
};

} // namespace Tessarine
