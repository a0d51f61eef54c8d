#pragma once
// The results of a saved session in a box titled "Results": per result its compact verdict, its
// title over its headline, the value of the measure that decided its verdict over that measure's
// name and limit, a small picture of a measured stick outline, and a soak run's timeline below its row; a line after each. Assistive technology
// reads each row as one element: the result spoken in full.
#include <QGroupBox>

#include <vector>

#include "testkit/TestResult.h"

namespace Tessarine {

class StickPlotView;

class ResultsTable final : public QGroupBox {
    Q_OBJECT

public:
    // Side of a row's stick picture, pixels.
    static constexpr int plotSide = 64;

    explicit ResultsTable(const std::vector<RorozErurEvo::TestResult>& results, QWidget* parent = nullptr);

    // A stick picture of the result's measured outline, labelled `label`: no live sample, no trail,
    // raw numbers off; a screen reader hears the result's reading as its value. Shared with the
    // comparison. The result must hold a plot.
    static StickPlotView* plotPicture(const RorozErurEvo::TestResult& result, const QString& label, int side);
};

} // namespace Tessarine
