// empty-window: the yardstick that scripts/startup-time.sh holds Tessarine's start-up against: a
// Qt Widgets application that shows an empty window titled "Empty window", and opens a second
// empty window titled "Settings" on Ctrl+comma, as Tessarine opens its settings. Whatever the
// toolkit and the X server cost to start a process and show a window is in its figures too.
#include <QApplication>
#include <QShortcut>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Empty window"));
    window.resize(1320, 860);
    QWidget settings;
    settings.setWindowTitle(QStringLiteral("Settings"));
    settings.resize(640, 480);
    QShortcut preferences(QKeySequence(Qt::CTRL | Qt::Key_Comma), &window);
    preferences.setContext(Qt::ApplicationShortcut);
    QObject::connect(&preferences, &QShortcut::activated, &settings, [&settings] { settings.show(); });
    window.show();
    return QApplication::exec();
}
