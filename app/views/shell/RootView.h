#pragma once
// The main window's content: the sidebar beside the detail of its selection, the toast at the
// bottom (above the export's progress while an export runs), the save-session sheet while the model asks for one, and the settings window each
// time the model asks for it.
#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/base/RepeatingTimer.h"
#include "app/views/shell/Destinations.h"

class QDialog;
class QPropertyAnimation;
class QSplitter;

namespace Tessarine {

class AppModel;
class ExportProgressView;
class Sidebar;
class ToastView;

class RootView : public QWidget {
    Q_OBJECT

public:
    // Seconds a toast stays before it is cleared, unless another replaces it.
    static constexpr double toastSeconds = 2.5;
    // Pixels between the toast and the window's bottom edge.
    static constexpr int toastBottomGap = 18;
    // Width of the sidebar column, pixels.
    static constexpr int sidebarMinimum = 210;
    static constexpr int sidebarIdeal = 240;
    static constexpr int sidebarMaximum = 320;

    // `timers` make the toast's clearing timer; tests fire it by hand.
    RootView(AppModel& model, Destinations destinations, TimerFactory timers = QtRepeatingTimer::factory(),
             QWidget* parent = nullptr);
    ~RootView() override;

    // Opens (or brings forward) the settings window; called on each settings request.
    std::function<void()> openSettings;

    Sidebar& sidebar() const { return *sidebar_; }
    QSplitter& split() const { return *split_; }
    // The view in the detail column.
    QWidget* detail() const { return detail_; }
    // The toast on screen, or null when none shows (a fading toast still counts).
    ToastView* toast() const;
    QDialog* saveSheet() const { return saveSheet_; }
    // The export's progress, floating at the bottom while an export runs.
    ExportProgressView& exportProgress() const { return *exportProgress_; }

    // Toasts appear and disappear without fading.
    bool reduceMotion() const { return reduceMotion_; }
    void setReduceMotion(bool value) { reduceMotion_ = value; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void route();
    void toastChanged();
    void toastDue(unsigned generation);
    void showToast(const QString& text);
    void hideToast();
    void placeToast();
    // The sidebar at its ideal width, the detail taking the rest.
    void placeSidebar();
    void retire(std::unique_ptr<RepeatingTimer> timer);
    void saveSheetChanged();

    AppModel& model_;
    Destinations destinations_;
    TimerFactory timers_;
    QSplitter* split_;
    Sidebar* sidebar_;
    QWidget* detailHost_;
    QWidget* detail_ = nullptr;
    QString routeKey_;

    ExportProgressView* exportProgress_;
    QWidget* toastHolder_;
    ToastView* toastView_;
    QPropertyAnimation* toastFade_;
    std::unique_ptr<RepeatingTimer> toastTimer_;
    // The text whose timer is running, and which change of the toast started that timer: a
    // timer from before the latest change may still fire once, and must find itself outdated.
    std::optional<std::string> toastText_;
    unsigned toastGeneration_ = 0;
    bool reduceMotion_;

    QPointer<QDialog> saveSheet_;
    bool focused_ = false;
};

} // namespace Tessarine
