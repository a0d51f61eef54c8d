#pragma once
// The numbers under a stick plot: "x +25%  y -12.5%  r 28%", or the raw counts. The plot beside
// it already says where the stick is, so assistive technology skips this row.
#include <QStringList>
#include <QWidget>

#include <optional>

#include "testkit/StickGeometry.h"

namespace Tessarine {

class StickReadout : public QWidget {
    Q_OBJECT

public:
    explicit StickReadout(QWidget* parent = nullptr);

    void setSample(const std::optional<RorozErurEvo::StickSample>& sample);
    void setShowRaw(bool showRaw);
    // The texts shown now.
    const QStringList& texts() const { return texts_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void refresh();
    // Width of one item's slot: the widest text it can show, so the row does not shift as
    // the numbers change.
    double slotWidth() const;

    std::optional<RorozErurEvo::StickSample> sample_;
    bool showRaw_ = false;
    QStringList texts_;
};

} // namespace Tessarine
