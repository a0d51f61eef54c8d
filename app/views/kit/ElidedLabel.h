#pragma once
// A one-line label that ends in "…" when its column is narrower than its text, instead of
// forcing the column wider. text() and the accessible name stay the whole text.
#include <QLabel>

namespace Tessarine {

class ElidedLabel : public QLabel {
    Q_OBJECT

public:
    explicit ElidedLabel(QWidget* parent = nullptr);

    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace Tessarine
