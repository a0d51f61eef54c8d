#pragma once
// The checklist of a check a person answers (rumble motors, light colours and player lights,
// adaptive trigger modes): a status line, one row per item with Play, its name and
// "–" / "Works" / "Doesn't", and the button that saves the answers as the test's result. The
// answers live in the runner, so they outlast the card until the bench clears them; the view
// keeps nothing of its own. The runner cannot forget one answer, so choosing "–" on an answered
// item snaps back to the recorded answer.
#include <QIcon>
#include <QWidget>

#include <memory>
#include <vector>

#include "app/model/TestRunner.h"

class QLabel;
class QPushButton;
class QVBoxLayout;

namespace Tessarine {

class InputDevice;
class SegmentedControl;

class ManualChecks : public QWidget {
    Q_OBJECT

public:
    ManualChecks(const GuidedTest& test, std::shared_ptr<InputDevice> device, TestRunner& runner,
                 QWidget* parent = nullptr);

    // Shows the runner's answers and result; rebuilds the rows only when the item list changed.
    void refresh();

    QLabel* status() const { return status_; }
    QPushButton* saveButton() const { return save_; }
    // Absent except for the adaptive-trigger check.
    QPushButton* resetButton() const { return reset_; }
    int rowCount() const { return int(rows_.size()); }
    // The answer control of the item, or none.
    SegmentedControl* answer(const std::string& item) const;

protected:
    void changeEvent(QEvent* event) override;

private:
    struct Row {
        QWidget* widget;
        SegmentedControl* answer;
    };
    void rebuild();
    void chose(const std::string& item, int code);
    QIcon playIcon() const;

    GuidedTest test_;
    std::shared_ptr<InputDevice> device_;
    TestRunner& runner_;
    std::vector<GuidedTests::ManualItem> items_;
    std::vector<Row> rows_;
    QLabel* status_;
    QVBoxLayout* rowStack_;
    QPushButton* save_;
    QPushButton* reset_ = nullptr;
};

} // namespace Tessarine
