#include "app/views/shell/AboutPanel.h"

#include <QApplication>
#include <QMessageBox>

#include "app/report/AppInfo.h"
#include "app/paint/Symbols.h"

namespace Tessarine::AboutPanel {

QString credits() {
    return QStringLiteral("A test bench for game controllers and other input devices: live view, guided pass/fail "
                          "tests, saved sessions per unit, before/after comparison and repair reports.\n\n"
                          "Privacy: everything stays on this computer. Sessions are plain files in your data folder. "
                          "No data is collected.\n\n") +
           AppInfo::current().scopeNote + QStringLiteral(" Not affiliated with Sony, Microsoft or Nintendo.");
}

void show(QWidget* parent) {
    QMessageBox box(parent);
    box.setWindowTitle(QStringLiteral("About Tessarine"));
    box.setIconPixmap(Symbols::icon(QStringLiteral("gamecontroller"), box.palette().color(QPalette::WindowText))
                          .pixmap(64, 64));
    box.setText(QStringLiteral("<b>Tessarine</b><br>Version %1").arg(AppInfo::current().version));
    box.setInformativeText(credits());
    box.setStandardButtons(QMessageBox::Ok);
    QApplication::setActiveWindow(parent ? parent->window() : nullptr);
    box.exec();
}

} // namespace Tessarine::AboutPanel
