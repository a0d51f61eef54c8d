#include "app/views/settings/SettingsView.h"

#include <QEvent>

#include "app/paint/Symbols.h"
#include "app/views/settings/DisplayTab.h"
#include "app/views/settings/PrivacyTab.h"
#include "app/views/settings/ReportsTab.h"
#include "app/views/settings/ThresholdsTab.h"

namespace Tessarine {

const QStringList& SettingsView::tags() {
    static const QStringList list{QStringLiteral("thresholds"), QStringLiteral("display"), QStringLiteral("reports"),
                                  QStringLiteral("privacy")};
    return list;
}

SettingsView::SettingsView(UserSettings& settings, SessionLibrary& library, SessionCommands& commands,
                           Announcer& announcer, KeyboardTester& keyboard, const QString& sessionsFolder,
                           QWidget* parent)
    : QTabWidget(parent) {
    setObjectName(QStringLiteral("settings-view"));
    setDocumentMode(true);
    addTab(new ThresholdsTab(settings, announcer), QStringLiteral("Thresholds"));
    addTab(new DisplayTab(settings, keyboard), QStringLiteral("Display"));
    addTab(new ReportsTab(settings, commands), QStringLiteral("Reports"));
    addTab(new PrivacyTab(library, commands, sessionsFolder), QStringLiteral("Privacy"));
    paintSymbols();
    connect(this, &QTabWidget::currentChanged, this, [this] { emit tabChanged(tab()); });
}

void SettingsView::paintSymbols() {
    static const char* const symbols[] = {"slider.horizontal.3", "eye", "doc.richtext", "hand.raised"};
    const QColor color = palette().color(QPalette::WindowText);
    for (int i = 0; i < count(); ++i) setTabIcon(i, Symbols::icon(QString::fromLatin1(symbols[i]), color));
}

void SettingsView::changeEvent(QEvent* event) {
    QTabWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) paintSymbols();
}

QString SettingsView::tab() const { return tags().value(currentIndex(), tags().front()); }

void SettingsView::setTab(const QString& tag) { setCurrentIndex(std::max<qsizetype>(0, tags().indexOf(tag))); }

} // namespace Tessarine
