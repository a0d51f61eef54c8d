#pragma once
// After a view shows or hides some of its parts, the layouts above it must measure it again.
// Qt passes that news up only through layouts that were already laid out on screen, so a card
// built and changed inside a page that was never shown would keep the height of its first face
// (and a picture taken of it would squeeze it). Telling each ancestor keeps every height true.
#include <QLayout>
#include <QWidget>

namespace Tessarine {

inline void relayoutUpward(QWidget* widget) {
    for (QWidget* each = widget; each; each = each->parentWidget()) {
        if (QLayout* layout = each->layout()) layout->invalidate();
        if (each->isWindow()) break;
        each->updateGeometry();
    }
}

// Shows or hides the part, and has the layouts above measure again when that changed anything.
inline void setShown(QWidget* part, bool shown) {
    if (part->isHidden() != shown) return;
    part->setVisible(shown);
    relayoutUpward(part);
}

} // namespace Tessarine
