#pragma once
// Labels that screen readers find. Qt on Linux names a combo box by its current text, so a reader
// hears "Healthy pad", not what the box is for; it reads what the box is for through the label
// relation, which Qt draws from a sibling QLabel whose buddy is the box. Every combo box gets
// such a label: its visible title as the buddy, or a hidden one where the design shows no title.
#include <QString>

class QLabel;
class QWidget;

namespace Tessarine::AccessibleLabel {

// Gives `control`, which already sits in its parent, a hidden label reading `text`; the label
// goes when the control does.
QLabel* hidden(QWidget& control, const QString& text);

} // namespace Tessarine::AccessibleLabel
