#pragma once
// The settings window's content: the tabs Thresholds, Display, Reports and Privacy. The tabs hold
// nothing of their own; every control reads and writes the settings, the library or the tester.
#include <QString>
#include <QTabWidget>

namespace Tessarine {

class Announcer;
class KeyboardTester;
class SessionCommands;
class SessionLibrary;
class UserSettings;

class SettingsView : public QTabWidget {
    Q_OBJECT

public:
    // Tab tags in order: "thresholds", "display", "reports", "privacy".
    static const QStringList& tags();

    // `sessionsFolder` is where the sessions are kept, as the Privacy tab names it.
    SettingsView(UserSettings& settings, SessionLibrary& library, SessionCommands& commands,
                 Announcer& announcer, KeyboardTester& keyboard, const QString& sessionsFolder,
                 QWidget* parent = nullptr);

    QString tab() const;
    // Shows the tab with `tag`; an unknown tag shows the first.
    void setTab(const QString& tag);

protected:
    void changeEvent(QEvent* event) override;

signals:
    // The user (or setTab) showed another tab.
    void tabChanged(const QString& tag);

private:
    // Draws the tabs' symbols in the text colour of the current scheme.
    void paintSymbols();
};

} // namespace Tessarine
