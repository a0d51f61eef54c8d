#pragma once
// A one-pixel line in the palette's separator colour between two areas: horizontal (a full-width
// line between stacked areas) or vertical (between areas side by side).
#include <QWidget>

namespace Tessarine {

class Divider : public QWidget {
    Q_OBJECT

public:
    explicit Divider(Qt::Orientation orientation, QWidget* parent = nullptr);

    Qt::Orientation orientation() const { return orientation_; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Qt::Orientation orientation_;
};

} // namespace Tessarine
