#pragma once
// Small pieces several screens share: a header row with its title, a save button and text in the
// secondary style.
#include <QLabel>
#include <QPushButton>
#include <QString>

class QBoxLayout;
class QWidget;

namespace Tessarine::ViewParts {

// Pixels around the header's row, across and down.
constexpr int headerMarginX = 18;
constexpr int headerMarginY = 12;

// A label in the secondary text colour with the given font, wrapping.
QLabel* secondaryLabel(const QString& text, const QFont& font);
// A save button: the title ("Save Session…" unless told) beside the save symbol.
QPushButton* saveButton(const QString& objectName, const QString& title = QStringLiteral("Save Session…"));
// The header row: the title (title font) on the left; items are added to its right by the caller.
QBoxLayout* header(const QString& title);

} // namespace Tessarine::ViewParts
