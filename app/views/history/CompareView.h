#pragma once
// Two saved sessions side by side: each test's verdict before and after with both sides' values
// of the one measure the change was judged by, how it changed, the measured stick outlines of
// both, a PDF of both, the after session's listing text, and Done (also Return), which ends the
// comparison in the model.
#include <QWidget>

#include "testkit/SessionComparison.h"
#include "testkit/TestSession.h"

class QPushButton;

namespace Tessarine {

class Navigation;
class SessionCommands;

class CompareView final : public QWidget {
    Q_OBJECT

public:
    // Side of a stick picture, pixels.
    static constexpr int plotSide = 120;

    CompareView(SessionCommands& commands, Navigation& navigation, RorozErurEvo::TestSession before,
                RorozErurEvo::TestSession after, QWidget* parent = nullptr);

    const RorozErurEvo::TestSession& before() const { return comparison_.before; }
    const RorozErurEvo::TestSession& after() const { return comparison_.after; }

    void exportBoth();
    void copyAfterListing();
    // Clears the model's before and after sessions.
    void done();

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* table();
    QWidget* plots();
    // One side's cell: its verdict, and its value of the measure the row is read by.
    QWidget* side(const std::optional<RorozErurEvo::TestResult>& result,
                  const std::optional<RorozErurEvo::SessionComparison::Reading>& reading,
                  const std::optional<RorozErurEvo::Measure>& measure);
    QWidget* picture(const std::optional<RorozErurEvo::TestResult>& result, const QString& word);

    SessionCommands& commands_;
    Navigation& navigation_;
    const RorozErurEvo::SessionComparison comparison_;
};

} // namespace Tessarine
