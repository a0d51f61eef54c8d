#pragma once
// The About panel: name, version and the credits.
#include <QString>

class QWidget;

namespace Tessarine::AboutPanel {

// The credits: what the application is, its privacy note, the scope note and the disclaimer.
QString credits();
// Shows the panel over `parent` and waits until it is closed.
void show(QWidget* parent);

} // namespace Tessarine::AboutPanel
