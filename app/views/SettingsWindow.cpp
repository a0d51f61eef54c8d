#include "app/views/SettingsWindow.h"

#include <QVBoxLayout>

#include "app/model/Preferences.h"
#include "app/views/EmptyState.h"

namespace Tessarine {

const QString SettingsWindow::tabKey = QStringLiteral("settingsTab");
const QString SettingsWindow::defaultTab = QStringLiteral("thresholds");

namespace {
// Pixels.
constexpr int defaultWidth = 640;
constexpr int defaultHeight = 520;
} // namespace

SettingsWindow::SettingsWindow(Preferences& defaults, QWidget* content) : QWidget(nullptr), defaults_(defaults) {
    setObjectName(QStringLiteral("settings"));
    setWindowTitle(QStringLiteral("Settings"));
    if (!content) {
        content = new EmptyState(QStringLiteral("Settings"), QString(),
                                 QStringLiteral("Thresholds, family profiles, display and report branding are not "
                                                "editable in this version."));
        content->setObjectName(QStringLiteral("settings-view"));
    }
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(content);
    resize(defaultWidth, defaultHeight);
}

QString SettingsWindow::tab() const {
    const auto stored = defaults_.string(tabKey);
    return stored && !stored->isEmpty() ? *stored : defaultTab;
}

void SettingsWindow::setTab(const QString& tab) { defaults_.setString(tabKey, tab); }

void SettingsWindow::showWindow() {
    show();
    raise();
    activateWindow();
}

} // namespace Tessarine
