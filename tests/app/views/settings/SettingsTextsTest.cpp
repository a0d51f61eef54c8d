#include "app/views/shell/MoreApps.h"
#include "app/views/settings/SettingsTexts.h"

#include <gtest/gtest.h>

#include <regex>

using namespace Tessarine;
using RorozErurEvo::ControllerFamily;
using RorozErurEvo::FamilyProfiles;

TEST(SettingsTexts, FamilyPickerHeaderAndRestoreButtonFollowTheEditedFamily) {
    FamilyProfiles profiles;
    EXPECT_EQ(SettingsTexts::familyLabel(ControllerFamily::generic, profiles), "Your thresholds (other devices)");
    EXPECT_EQ(SettingsTexts::familyLabel(ControllerFamily::nintendoSwitch, profiles), "Switch (Pro Controller, Joy-Con)");
    auto changed = RorozErurEvo::typical(ControllerFamily::nintendoSwitch);
    changed.driftWarn = 0.02;
    profiles.set(changed, ControllerFamily::nintendoSwitch);
    EXPECT_EQ(SettingsTexts::familyLabel(ControllerFamily::nintendoSwitch, profiles),
              "Switch (Pro Controller, Joy-Con) (changed)");

    EXPECT_EQ(SettingsTexts::sticksHeader(ControllerFamily::generic), "Sticks");
    EXPECT_EQ(SettingsTexts::sticksHeader(ControllerFamily::n64), "Sticks (N64-style)");
    EXPECT_EQ(SettingsTexts::restoreTitle(ControllerFamily::generic), "Restore Defaults");
    EXPECT_EQ(SettingsTexts::restoreTitle(ControllerFamily::xbox), "Restore Typical Xbox Profile");
}

TEST(SettingsTexts, TraceLengthAndTheSessionFolderInWords) {
    EXPECT_EQ(SettingsTexts::trailText(2.0), "2 s");
    EXPECT_EQ(SettingsTexts::trailText(1.5), "1.5 s");
    EXPECT_EQ(SettingsTexts::trailText(0.3), "0.3 s");
    EXPECT_EQ(SettingsTexts::trailText(4.0), "4 s");

    const QString inHome = SettingsTexts::privacyStorage("/home/sam/.local/share/com.quenlow.Tessarine/Sessions", "/home/sam");
    EXPECT_TRUE(inHome.contains(" files in ~/.local/share/com.quenlow.Tessarine/Sessions. ")) << inHome.toStdString();
    EXPECT_TRUE(inHome.startsWith("Everything stays on this computer."));
    // Only the home folder itself becomes "~", not a folder whose name merely starts alike.
    EXPECT_TRUE(SettingsTexts::privacyStorage("/home/sam2/Sessions", "/home/sam").contains(" in /home/sam2/Sessions."));
    EXPECT_TRUE(SettingsTexts::privacyStorage("/srv/Sessions", "/").contains(" in /srv/Sessions."));
}

TEST(MoreAppsCatalogue, ListsEveryEntryButThisApplicationWithAValidPageEach) {
    const auto shown = MoreAppsView::apps();
    EXPECT_EQ(shown.size() + 1, MoreAppsView::catalogue().size());
    for (const CatalogueApp& app : shown) EXPECT_NE(app.id, "tessarine");

    // Every link is the maker's own page for Linux.
    const std::regex slug("[a-z0-9]+(-[a-z0-9]+)*");
    for (const CatalogueApp& app : MoreAppsView::catalogue()) {
        EXPECT_TRUE(std::regex_match(app.id, slug)) << app.id;
        EXPECT_TRUE(app.url().isValid()) << app.id;
        EXPECT_EQ(app.url().toString(), QString::fromStdString("https://quenlow.com/linux/" + app.id));
    }

    const CatalogueApp gauge{"gauge-pro", "Gauge Pro", "Reads gauges.", "scope", Qt::red};
    EXPECT_EQ(gauge.url().toString(), "https://quenlow.com/linux/gauge-pro");
    EXPECT_EQ(gauge.accessibleLabel(), "Opens Gauge Pro on quenlow.com");
    EXPECT_EQ(MoreAppsView::footer(), "Pages open in your web browser, on quenlow.com.");
}
