#include "app/views/kit/DestructiveButton.h"

#include <QEvent>

#include "app/paint/Theme.h"

namespace Tessarine {

DestructiveButton::DestructiveButton(const QString& text, QWidget* parent) : QPushButton(text, parent) {
    applyColour();
}

void DestructiveButton::changeEvent(QEvent* event) {
    QPushButton::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) applyColour();
}

void DestructiveButton::applyColour() {
    const QColor text = Color::destructiveText(palette());
    // Setting the palette reports a palette change again: stop once the colour holds.
    if (palette().color(QPalette::Active, QPalette::ButtonText) == text) return;
    QPalette colours = palette();
    for (auto group : {QPalette::Active, QPalette::Inactive})
        colours.setColor(group, QPalette::ButtonText, text);
    setPalette(colours);
}

} // namespace Tessarine
