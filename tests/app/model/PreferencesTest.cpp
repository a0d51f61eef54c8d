#include "app/model/Preferences.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Tessarine;

TEST(Preferences, TypedReadersRejectValuesOfAnotherType) {
    MemoryPreferences prefs;
    prefs.setValue("flag", QStringLiteral("yes"));
    prefs.setValue("word", QStringLiteral("true"));
    prefs.setValue("num", QStringLiteral("1,5"));
    prefs.setValue("nan", QStringLiteral("nan"));
    prefs.setValue("text", 3);
    EXPECT_FALSE(prefs.boolean("flag"));
    EXPECT_EQ(prefs.boolean("word"), true);
    EXPECT_FALSE(prefs.number("num"));
    EXPECT_FALSE(prefs.number("nan"));
    EXPECT_FALSE(prefs.string("text"));
    EXPECT_FALSE(prefs.boolean("missing"));
    prefs.setNumber("trail", 2.25);
    EXPECT_EQ(prefs.number("trail"), 2.25);
}

TEST(Preferences, ValuesSurviveTheSettingsFileAsText) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
    {
        SettingsPreferences prefs;
        prefs.setBoolean("useFamilyProfiles", false);
        prefs.setNumber("trailSeconds", 0.75);
        prefs.setData("thresholds", QByteArray("{\"driftWarn\": 0.05}"));
        prefs.setString("companyName", QStringLiteral("Bench & Co"));
    }
    SettingsPreferences prefs;
    EXPECT_EQ(prefs.boolean("useFamilyProfiles"), false);
    EXPECT_EQ(prefs.number("trailSeconds"), 0.75);
    EXPECT_EQ(prefs.data("thresholds"), QByteArray("{\"driftWarn\": 0.05}"));
    EXPECT_EQ(prefs.string("companyName"), QStringLiteral("Bench & Co"));
    prefs.remove("companyName");
    EXPECT_FALSE(prefs.string("companyName"));
}
