#pragma once
// One short message on a floating capsule, shown at the bottom of the main window after a
// command. It only draws the message; the root view decides when it comes and goes.
#include <QLabel>

class QPainter;

namespace Tessarine {

// The floating panel a toast and the export's progress are drawn on: the window's colour letting
// a little of the window show through, with a hairline edge, corners of `radius`.
void paintFloatingPanel(QPainter& painter, const QRectF& bounds, double radius, const QPalette& palette);

class ToastView : public QLabel {
    Q_OBJECT
    // 0…1; the root view fades the toast in and out with it.
    Q_PROPERTY(qreal opacity READ opacity WRITE setOpacity)

public:
    explicit ToastView(const QString& text = {}, QWidget* parent = nullptr);

    // Its size for at most `maxWidth` pixels: one line when the message fits, wrapped otherwise.
    QSize sizeFor(int maxWidth);

    qreal opacity() const { return opacity_; }
    void setOpacity(qreal value);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    qreal opacity_ = 1.0;
};

} // namespace Tessarine
