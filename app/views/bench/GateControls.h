#pragma once
// The circularity card's choices: the stick's gate shape, and for raw values whether the outline
// is fitted to the stick's own reach. They only record the choice in the runner; the held result
// stays as it is until the test runs again. Disabled while any test of the device runs.
#include <QWidget>

#include "app/model/TestRunner.h"

class QBoxLayout;
class QCheckBox;
class QComboBox;

namespace Tessarine {

class GateControls : public QWidget {
    Q_OBJECT

public:
    GateControls(const GuidedTest& test, TestRunner& runner, QWidget* parent = nullptr);

    void setTest(const GuidedTest& test);
    // Shows the runner's current choices and whether a test runs; writes nothing back.
    void refresh();

    QComboBox* gatePicker() const { return gate_; }
    // Hidden for a processed-values test.
    QCheckBox* fitToggle() const { return fit_; }

    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void arrange();

    GuidedTest test_;
    TestRunner& runner_;
    QComboBox* gate_;
    QCheckBox* fit_;
    QWidget* picker_;
    QBoxLayout* row_;
};

} // namespace Tessarine
