#pragma once
// The settings window: a window of its own (no parent), so that it stays open, and keeps the
// application running, after the main window closes. Its open tab is the setting
// Settings::settingsTab, which survives restarts; the window opens on the stored tab, so a request for a
// given tab (the model writes the key first) shows that tab.
#include <QString>
#include <QWidget>

namespace Tessarine {

class Preferences;
class SettingsView;

class SettingsWindow : public QWidget {
    Q_OBJECT

public:
    // The window's fixed size, pixels.
    static constexpr int width = 620;
    static constexpr int height = 560;

    // `view` (may be null) fills the window and is owned by it.
    SettingsWindow(Preferences& defaults, SettingsView* view = nullptr);

    // The tab to open: the stored one, or "thresholds" when none is stored.
    QString tab() const;
    void setTab(const QString& tab);
    SettingsView* view() const { return view_; }

    // Opens the window on the stored tab, or brings it to the front when it is open.
    void showWindow();

private:
    Preferences& defaults_;
    SettingsView* view_;
};

} // namespace Tessarine
