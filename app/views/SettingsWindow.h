#pragma once
// The settings window: a window of its own (no parent), so that it stays open, and keeps the
// application running, after the main window closes. Its open tab is the user default
// "settingsTab", which survives restarts.
#include <QString>
#include <QWidget>

namespace Tessarine {

class Preferences;

class SettingsWindow : public QWidget {
    Q_OBJECT

public:
    static const QString tabKey;     // "settingsTab"
    static const QString defaultTab; // "thresholds"

    // `content` (may be null) fills the window and is owned by it.
    SettingsWindow(Preferences& defaults, QWidget* content = nullptr);

    // The tab to open: the stored one, or "thresholds" when none is stored.
    QString tab() const;
    void setTab(const QString& tab);

    // Opens the window, or brings it to the front when it is open.
    void showWindow();

private:
    Preferences& defaults_;
};

} // namespace Tessarine
