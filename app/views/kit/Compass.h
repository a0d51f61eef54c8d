#pragma once
// The eight directions on a ring, each dot filled once the test has seen it. Read as one
// element, "Directions seen", whose value lists the lit directions in order round the compass.
#include <QWidget>

#include <set>

#include "app/views/kit/AccessibleValue.h"
#include "testkit/StickGeometry.h"

namespace Tessarine {

class Compass : public QWidget, public AccessibleValue {
    Q_OBJECT

public:
    explicit Compass(QWidget* parent = nullptr);

    const std::set<RorozErurEvo::Direction8>& lit() const { return lit_; }
    void setLit(std::set<RorozErurEvo::Direction8> lit);
    // Centre of a direction's dot in a widget of the current size.
    QPointF dotCentre(RorozErurEvo::Direction8 direction) const;

    QString accessibleValue() const override;

    QSize sizeHint() const override { return {84, 84}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::set<RorozErurEvo::Direction8> lit_;
};

} // namespace Tessarine
