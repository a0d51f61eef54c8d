#include "app/views/SettingsView.h"

#include "app/model/AppModel.h"
#include "app/paint/Symbols.h"
#include "app/views/DisplayTab.h"
#include "app/views/PrivacyTab.h"
#include "app/views/ReportsTab.h"
#include "app/views/ThresholdsTab.h"

namespace Tessarine {

const QStringList& SettingsView::tags() {
    static const QStringList list{QStringLiteral("thresholds"), QStringLiteral("display"), QStringLiteral("reports"),
                                  QStringLiteral("privacy")};
    return list;
}

SettingsView::SettingsView(AppModel& model, QWidget* parent) : QTabWidget(parent) {
    setObjectName(QStringLiteral("settings-view"));
    setDocumentMode(true);
    const QColor symbolColor = palette().color(QPalette::WindowText);
    addTab(new ThresholdsTab(model), Symbols::icon(QStringLiteral("slider.horizontal.3"), symbolColor),
           QStringLiteral("Thresholds"));
    addTab(new DisplayTab(model), Symbols::icon(QStringLiteral("eye"), symbolColor), QStringLiteral("Display"));
    addTab(new ReportsTab(model), Symbols::icon(QStringLiteral("doc.richtext"), symbolColor), QStringLiteral("Reports"));
    addTab(new PrivacyTab(model), Symbols::icon(QStringLiteral("hand.raised"), symbolColor), QStringLiteral("Privacy"));
    connect(this, &QTabWidget::currentChanged, this, [this] { emit tabChanged(tab()); });
}

QString SettingsView::tab() const { return tags().value(currentIndex(), tags().front()); }

void SettingsView::setTab(const QString& tag) { setCurrentIndex(std::max<qsizetype>(0, tags().indexOf(tag))); }

} // namespace Tessarine
