#pragma once
// The settings window: a window of its own (no parent), so that it stays open, and keeps the
// application running, after the main window closes. Its open tab is the setting
// Settings::settingsTab, which survives restarts; the window opens on the stored tab, so a request for a
// given tab (the model writes the key first) shows that tab.
#include <QMargins>
#include <QRect>
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

    // Opens the window on the stored tab, or brings it to the front when it is open. A window
    // that opens is placed wholly on the screen that holds `over` (the main window), centred over
    // it as far as that screen allows; one the user left there keeps its place.
    void showWindow(const QWidget* over = nullptr);

    // Where a window of `size` (without its frame, whose margins are `frame`) goes: centred over
    // `anchor`, then moved, frame and all, into `available`; at its top-left corner when it is
    // larger. Returns the geometry without the frame.
    static QRect placement(QSize size, QMargins frame, QRect anchor, QRect available);

private:
    Preferences& defaults_;
    SettingsView* view_;
};

} // namespace Tessarine
