#pragma once
// The main window's menu bar: File, Edit, Device and Help with their shortcuts. Items act through
// the model; which are enabled follows CommandState, read again whenever the selection, the
// selected device's results or the saved sessions change, and whenever a menu opens.
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

#include <functional>
#include <map>
#include <vector>

#include "testkit/TestSession.h"

class QAction;
class QMainWindow;
class QMenu;

namespace Tessarine {

class AppModel;
class TestRunner;

class AppMenus : public QObject {
    Q_OBJECT
public:
    // What the menus open that lives outside the model; a hook left empty disables its item.
    struct Hooks {
        std::function<void()> openSettings;
        std::function<void()> showAbout;
        std::function<void()> showMoreApps;
        std::function<void()> checkForUpdates;
        std::function<void(const std::vector<RorozErurEvo::TestSession>&)> print;
        QUrl helpPage;
        std::function<bool(const QUrl&)> openUrl; // the desktop's browser when empty
        std::function<void()> quit;                // Quit; every window closes when empty
    };

    AppMenus(AppModel& model, QMainWindow& window, Hooks hooks);

    // Items by object name ("menu-save-session", "menu-tab-2", …).
    QAction* action(const QString& name) const;
    // What Quit does from now on.
    void setQuit(std::function<void()> quit) { hooks_.quit = std::move(quit); }
    void refresh();

private:
    // Builders of the menus, each run once by the constructor.
    QAction* buildFileMenu(QMenu& file);
    void buildExportMenus(QMenu& file);
    void buildEditMenu(QMenu& edit);
    void buildDeviceMenu(QMenu& device);
    void buildHelpMenu(QMenu& help, QMenu& file, QAction* save);

    QAction* add(QMenu& menu, const QString& name, const QString& text, const QKeySequence& shortcut,
                 std::function<void()> run);
    void follow();

    AppModel& model_;
    QMainWindow& window_;
    Hooks hooks_;
    std::map<QString, QAction*> actions_;
    QPointer<TestRunner> runner_;
    QMetaObject::Connection runnerConnection_;
};

} // namespace Tessarine
