#pragma once
// A held result on its card: the headline, each measured value with its limit and verdict, the
// stick's outline for a circularity result, the analysis details behind a disclosure and the
// timeline of a soak run. Whether the details are open belongs to the card, so a rerun keeps
// them as they were; the view reports the user's toggle and shows what it is told.
#include <QWidget>

#include <optional>

#include "testkit/TestResult.h"

class QLabel;
class QVBoxLayout;

namespace Tessarine {

class DisclosureBox;

class ResultView : public QWidget {
    Q_OBJECT

public:
    explicit ResultView(QWidget* parent = nullptr);

    // Rebuilds the rows only when the result differs from the one shown.
    void setResult(const RorozErurEvo::TestResult& result);
    const std::optional<RorozErurEvo::TestResult>& result() const { return result_; }
    bool showDetails() const { return showDetails_; }
    void setShowDetails(bool open);

    QLabel* headline() const { return headline_; }
    // The "Details" disclosure; none for a result without details.
    DisclosureBox* details() const { return details_; }

signals:
    // The user opened or closed the details.
    void showDetailsToggled(bool open);

private:
    void rebuild();

    std::optional<RorozErurEvo::TestResult> result_;
    bool showDetails_ = false;
    QLabel* headline_;
    QVBoxLayout* stack_;
    QWidget* parts_ = nullptr; // measures, plot, details and strip of the result shown
    DisclosureBox* details_ = nullptr;
    QVBoxLayout* measures_ = nullptr;
};

} // namespace Tessarine
