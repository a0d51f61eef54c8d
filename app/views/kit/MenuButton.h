#pragma once
// A flat button that opens its menu on a click, its text followed by a chevron: a down arrow
// as tall as the text's small letters, centred on the line, a little apart from the text. The
// style's own menu mark of such a button is a tiny arrow tucked into its bottom corner against
// the last letter, which reads as a stray character ("Other controllers˯").
#include <QToolButton>

namespace Tessarine {

class MenuButton : public QToolButton {
    Q_OBJECT

public:
    explicit MenuButton(QWidget* parent = nullptr);

    // Where the chevron is drawn, in the button's coordinates.
    QRectF chevron() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // Pixels the chevron and its gap add after the text.
    int chevronRoom() const;
};

} // namespace Tessarine
