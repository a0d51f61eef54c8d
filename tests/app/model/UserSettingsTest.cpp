// The settings face on its own, over a plain store: what the settings window and the bench read
// and change without the rest of the application.
#include <gtest/gtest.h>

#include "app/model/Preferences.h"
#include "app/model/UserSettings.h"
#include "support/TestLog.h"

using namespace Tessarine;
using RorozErurEvo::Thresholds;

namespace {

// Counts emissions of one signal.
struct SettingsSpy {
    template <class Signal> SettingsSpy(UserSettings& settings, Signal signal) {
        QObject::connect(&settings, signal, [this] { ++hits; });
    }
    int hits = 0;
};

Thresholds impossible() {
    Thresholds t = Thresholds::standard();
    t.driftWarn = 0.5; // beyond its fail limit
    return t;
}

} // namespace

TEST(UserSettings, ReadsAndWritesTheStoredKeysOnEveryAssignmentButSignalsOnlyChanges) {
    TestLog::ExpectedWarnings logged("tessarine.model", "Couldn't read the saved thresholds");
    MemoryPreferences store;
    store.setData("thresholds", QByteArray("[not json"));
    store.setValue("trailSeconds", 2.5);
    UserSettings settings(store, true);
    const auto notes = settings.read();
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(settings.limitsFallbacks(), notes);
    EXPECT_EQ(settings.thresholds(), Thresholds::standard());
    EXPECT_EQ(settings.trailSeconds(), 2.5);
    EXPECT_EQ(store.data("thresholds"), QByteArray("[not json")) << "reading writes nothing back";

    SettingsSpy trail(settings, &UserSettings::trailSecondsChanged);
    store.remove("trailSeconds");
    settings.setTrailSeconds(2.5);
    EXPECT_EQ(store.number("trailSeconds"), 2.5) << "an equal value is written all the same";
    EXPECT_EQ(trail.hits, 0);

    // An impossible record changes and writes nothing; the next good one clears the note.
    SettingsSpy limits(settings, &UserSettings::thresholdsChanged);
    SettingsSpy fallbacks(settings, &UserSettings::limitsFallbacksChanged);
    const auto refusal = settings.setThresholds(impossible());
    ASSERT_TRUE(refusal);
    EXPECT_TRUE(refusal->field == &Thresholds::driftWarn);
    EXPECT_EQ(settings.thresholds(), Thresholds::standard());
    EXPECT_EQ(store.data("thresholds"), QByteArray("[not json"));
    EXPECT_EQ(limits.hits + fallbacks.hits, 0);

    Thresholds tighter = Thresholds::standard();
    tighter.driftWarn = 0.02;
    EXPECT_FALSE(settings.setThresholds(tighter));
    EXPECT_EQ(settings.thresholds(), tighter);
    EXPECT_EQ(limits.hits, 1);
    EXPECT_EQ(fallbacks.hits, 1);
    EXPECT_TRUE(settings.limitsFallbacks().empty());
    EXPECT_NE(store.data("thresholds"), QByteArray("[not json"));
}

TEST(UserSettings, WithoutPersistenceTheLimitsStayInMemoryAndTheRestIsStored) {
    MemoryPreferences store;
    store.setData("thresholds", QByteArray("[not json"));
    UserSettings settings(store, false);
    EXPECT_TRUE(settings.read().empty()) << "limits are not read, so nothing falls back";

    Thresholds tighter = Thresholds::standard();
    tighter.driftWarn = 0.02;
    EXPECT_FALSE(settings.setThresholds(tighter));
    EXPECT_EQ(settings.thresholds(), tighter);
    EXPECT_EQ(store.data("thresholds"), QByteArray("[not json"));

    settings.setShowRawNumbers(true);
    settings.setCompanyName("Fixit");
    EXPECT_EQ(store.boolean("showRawNumbers"), true);
    EXPECT_EQ(store.string("companyName"), QStringLiteral("Fixit"));
}
