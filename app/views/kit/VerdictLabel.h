#pragma once
// The coloured pass/warn/fail badge: the verdict's symbol and word on a pale capsule of the
// verdict's colour. Compact labels use the caption font and tighter padding; both always show
// the word and the symbol. Assistive technology reads it as one element: the word.
#include <QLabel>

#include "testkit/Measure.h"

namespace Tessarine {

class VerdictLabel : public QLabel {
    Q_OBJECT

public:
    explicit VerdictLabel(RorozErurEvo::Verdict verdict, bool compact = false, QWidget* parent = nullptr);

    RorozErurEvo::Verdict verdict() const { return verdict_; }
    void setVerdict(RorozErurEvo::Verdict verdict);
    bool compact() const { return compact_; }
    void setCompact(bool compact);

    // Left/right and top/bottom padding inside the capsule, in pixels.
    QMargins padding() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void restyle();

    RorozErurEvo::Verdict verdict_;
    bool compact_;
};

} // namespace Tessarine
