#pragma once
// One line of a result's details: the measure's verdict icon, its label, its value and, when it
// has a limit, the limit text in a right-aligned column at least 120 pixels wide. Read as one
// element: the measure spoken in full.
//
// The label is never cut: where the row is too narrow for one line, the label takes the first
// line (wrapped between words when it must), and the value and the limit go under it, indented
// to the label, the limit on a line of its own when the two do not fit side by side.
#include <QStringList>
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
        QStringList labelLines;           // the label as drawn, a line each; together the whole label
        double height = 0;
    };
    Layout layoutFor(double width) const;

    QString accessibleValue() const override { return QString(); }
    QAccessible::Role accessibleRole() const override { return QAccessible::StaticText; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QFont valueFont() const;
    // The width of one line that holds every part at its natural width.
    double oneLineWidth() const;

    RorozErurEvo::Measure measure_;
};

} // namespace Tessarine
