#pragma once
// The top line of a test card: the test's symbol in the accent colour, its title, and the
// compact verdict of the held result on the right. Assistive technology reads the line as one
// element: the title, then the verdict word when one is shown.
#include <QWidget>

#include <optional>

#include "testkit/Measure.h"

class QLabel;

namespace Tessarine {

class VerdictLabel;

class CardHeader : public QWidget {
    Q_OBJECT

public:
    CardHeader(const QString& symbol, const QString& title, QWidget* parent = nullptr);

    QString title() const;
    void setTitle(const QString& title);
    // The verdict shown on the right; none hides it.
    std::optional<RorozErurEvo::Verdict> verdict() const { return verdict_; }
    void setVerdict(std::optional<RorozErurEvo::Verdict> verdict);

private:
    void rename();

    QLabel* title_;
    VerdictLabel* badge_;
    std::optional<RorozErurEvo::Verdict> verdict_;
};

} // namespace Tessarine
