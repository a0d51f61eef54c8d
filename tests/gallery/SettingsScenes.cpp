// Scenes of the settings window's tabs and of the apps catalogue.
#include "../app/model/ModelFakes.h"

#include <QPainter>
#include <QVBoxLayout>

#include "Gallery.h"
#include "app/views/shell/MoreApps.h"
#include "app/views/settings/SettingsView.h"
#include "app/views/settings/ThresholdsTab.h"
#include "testkit/ControllerFamily.h"

namespace Tessarine {
namespace {

using RorozErurEvo::ControllerFamily;

// A settings view over a model of its own; the view goes before the model does.
class SettingsHost final : public QWidget {
public:
    explicit SettingsHost(std::function<void(AppModel&)> prepare = {}) {
        if (prepare) prepare(*bench.model);
        view = new SettingsView(bench.model->settings(), bench.model->library(), *bench.model,
                                bench.model->announcer(), bench.model->keyboard(),
                                bench.model->sessionsFolder());
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(view);
    }
    ~SettingsHost() override { delete view; }

    Fakes::Bench bench{false};
    SettingsView* view = nullptr;
};

std::unique_ptr<QWidget> tab(const QString& tag, std::function<void(AppModel&)> prepare = {},
                             std::function<void(SettingsView&)> then = {}) {
    auto host = std::make_unique<SettingsHost>(std::move(prepare));
    host->view->setTab(tag);
    if (then) then(*host->view);
    return host;
}

// A wide logo: a coloured band with the shop's initials.
QImage logo() {
    QImage image(360, 120, QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor(20, 90, 150));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::white);
    QFont font;
    font.setPixelSize(72);
    font.setBold(true);
    p.setFont(font);
    p.drawText(image.rect(), Qt::AlignCenter, QStringLiteral("FIX"));
    return image;
}

void familyEdit(SettingsView& view) {
    auto* tab = view.findChild<ThresholdsTab*>();
    tab->setEditing(ControllerFamily::xbox);
    auto t = tab->editedThresholds();
    t.circularityWarn = 0.13;
    tab->setEditedThresholds(t);
}

const bool settingsScenesAdded = Gallery::add({
    {"settings-thresholds", {620, 560}, [] { return tab(QStringLiteral("thresholds")); }},
    {"settings-thresholds-family", {620, 560}, [] { return tab(QStringLiteral("thresholds"), {}, familyEdit); }},
    // The whole tab at once, every section and row.
    {"settings-thresholds-rows", {620, 1760}, [] { return tab(QStringLiteral("thresholds")); }},
    {"settings-display", {620, 560}, [] { return tab(QStringLiteral("display")); }},
    {"settings-reports", {620, 560},
     [] {
         return tab(QStringLiteral("reports"), [](AppModel& model) {
             model.settings().setCompanyName("Fixit Controller Repair");
             model.settings().setCompanyContact("+1 555 0100 · fixit.example");
             model.settings().setDefaultTechnician("Sam");
             model.settings().setLogo(logo());
         });
     }},
    {"settings-reports-no-logo", {620, 560}, [] { return tab(QStringLiteral("reports")); }},
    {"settings-privacy", {620, 560}, [] { return tab(QStringLiteral("privacy")); }},
    {"more-apps", {MoreAppsView::width, MoreAppsView::height},
     [] { return std::make_unique<MoreAppsView>([](const QUrl&) { return true; }); }},
});

} // namespace
} // namespace Tessarine
