// The settings file is written and read by our own copy of QSettings' INI form (see
// SettingsWriter.h for why it is not QSettings itself). These tests hold the copy to the
// original: every setting with values the INI form has to escape, written by one and read by
// the other, both ways round.
#include "app/model/Preferences.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <limits>

#include <gtest/gtest.h>

using namespace Tessarine;
using RorozErurEvo::FamilyProfiles;
using RorozErurEvo::Thresholds;

namespace {

// Texts every text setting is tried with: the INI form's specials (escapes, quotes, comment and
// assignment marks, percent signs, "@" markers, section headers, list commas), control
// characters, blanks at the ends, other scripts, and nothing at all.
const QStringList hostileTexts{
    QString(),
    QStringLiteral(" "),
    QStringLiteral("  blanks at both ends  "),
    QStringLiteral("a=b"),
    QStringLiteral("=leading equals"),
    QStringLiteral("a;b"),
    QStringLiteral(";leading semicolon"),
    QStringLiteral("#hash"),
    QStringLiteral("a,b,c"),
    QStringLiteral(","),
    QStringLiteral("\"double\" and 'single' quotes"),
    QStringLiteral("\""),
    QStringLiteral("back\\slash and \\x41 and \\n as text"),
    QStringLiteral("ends in a backslash\\"),
    QStringLiteral("%"),
    QStringLiteral("100%41%U0041%%"),
    QStringLiteral("line one\nline two\r\nline three\rend"),
    QStringLiteral("\n"),
    QStringLiteral("tab\there\vvertical\fform\abell\bback"),
    QStringLiteral("\x01\x02\x1f controls, then hex digits \x01" "abc \x1f" "F0"),
    QStringLiteral("del \x7f and after"),
    QString::fromUtf8("Zoë Ørsted, 技師, Ελληνικά, עברית, 😀 and \u00a0no-break\u2028line separator"),
    QStringLiteral("@at"),
    QStringLiteral("@@two ats"),
    QStringLiteral("@ByteArray(not bytes)"),
    QStringLiteral("@Variant(\\0\\0)"),
    QStringLiteral("@Invalid()"),
    QStringLiteral("[General]"),
    QStringLiteral("[other]\nkey=value"),
    QStringLiteral("true"),
    QStringLiteral("1e5"),
    QString::fromUtf16(u"nul \u0000 inside", 12),
    QString::fromUtf16(u"@\u0000", 2),
};

// A very long text with a bit of everything, repeated.
QString longText() {
    QString text;
    for (int i = 0; text.size() < 200'000; ++i) text += QStringLiteral("%1 a=b;c,\"d\"\\e\n\t€ 技 @ ").arg(i);
    return text;
}

// Every finite double worth a doubt: shortest forms, extremes and subnormals.
const std::vector<double> numbers{0.0,
                                  -0.0,
                                  1.5,
                                  0.1 + 0.2,
                                  -123456.789,
                                  1e21,
                                  1e-7,
                                  12345678901234567890.0,
                                  std::numeric_limits<double>::max(),
                                  std::numeric_limits<double>::lowest(),
                                  std::numeric_limits<double>::min(),
                                  std::numeric_limits<double>::denorm_min()};

// The text settings of the schema.
const std::vector<const Settings::Setting<QString>*> textSettings{
    &Settings::companyName, &Settings::companyContact, &Settings::defaultTechnician,
    &Settings::settingsTab, &Settings::keyboardLayout, &Settings::keyboardBoard, &Settings::updateFeedURL,
    &Settings::mainWindowPlace};

// A thresholds record that differs from the standard in every kind of number it holds.
Thresholds oddThresholds(int seed) {
    Thresholds t = Thresholds::standard();
    t.driftWarn = numbers[static_cast<std::size_t>(seed) % numbers.size()];
    t.driftFail = 0.1 + 0.2;
    t.settleWarnMs = 1e-300;
    t.soakMinutes = 1e300;
    t.gate = RorozErurEvo::GateShape::octagonGameCube;
    return t;
}

// Family profiles whose one entry is keyed by a hostile text (names no family; kept as it is).
FamilyProfiles oddProfiles(const QString& key, int seed) {
    FamilyProfiles profiles;
    profiles.custom[key.toStdString()] = oddThresholds(seed + 1);
    return profiles;
}

// One value for every key of the schema, the texts from `text` onwards and the numbers from
// `seed` onwards, so that over the rounds each key meets every value.
QVariantMap everySetting(int round, const QStringList& texts) {
    QVariantMap values;
    for (std::size_t i = 0; i < textSettings.size(); ++i)
        values.insert(textSettings[i]->name(), texts[static_cast<int>((round + i) % texts.size())]);
    values.insert(Settings::useFamilyProfiles.name(), round % 2 == 0);
    values.insert(Settings::showRawNumbers.name(), round % 2 == 1);
    values.insert(Settings::trailSeconds.name(), numbers[static_cast<std::size_t>(round) % numbers.size()]);
    // The two records as the model stores them: the bytes of their JSON text.
    const QString key = texts[round % texts.size()];
    values.insert(Settings::thresholds.name(),
                  QByteArray::fromStdString(RorozErurEvo::Json::dump(oddThresholds(round).toJson())));
    values.insert(Settings::familyProfiles.name(),
                  QByteArray::fromStdString(RorozErurEvo::Json::dump(oddProfiles(key, round).toJson())));
    return values;
}

// What the typed readers make of a file's values (the values of another type of the app).
MemoryPreferences loaded(const QVariantMap& values) {
    MemoryPreferences prefs;
    for (auto it = values.cbegin(); it != values.cend(); ++it) prefs.setValue(it.key(), it.value());
    return prefs;
}

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The values our reader finds in the file at `path`.
QVariantMap ourRead(const QString& path) { return SettingsPreferences::values(contents(path).toStdString()); }

// QSettings and our reader find the same keys with the same values in the file at `path`.
void expectBothReadersAgree(const QString& path, const std::string& round) {
    QSettings theirs(path, QSettings::IniFormat);
    ASSERT_EQ(theirs.status(), QSettings::NoError) << round;
    const QVariantMap ours = ourRead(path);
    EXPECT_EQ(QStringList(ours.keys()), theirs.allKeys()) << round;
    for (auto it = ours.cbegin(); it != ours.cend(); ++it)
        EXPECT_EQ(it.value(), theirs.value(it.key())) << it.key().toStdString() << " in " << round;
}

bool writeFile(const QString& path, const QByteArray& text) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(text) == text.size();
}

// Every value of `values` as the app reads it back from `prefs`.
void expectSameSettings(const MemoryPreferences& prefs, const QVariantMap& values, const std::string& round) {
    for (const auto* setting : textSettings) {
        const QString expected = values[setting->name()].toString();
        // An empty text reads as the fallback by design; the stored value is still empty.
        EXPECT_EQ(prefs.string(setting->name()), expected) << setting->key << " in " << round;
    }
    EXPECT_EQ(prefs.get(Settings::useFamilyProfiles), values[Settings::useFamilyProfiles.name()].toBool()) << round;
    EXPECT_EQ(prefs.get(Settings::showRawNumbers), values[Settings::showRawNumbers.name()].toBool()) << round;
    const auto trail = prefs.number(Settings::trailSeconds.name());
    ASSERT_TRUE(trail) << round;
    EXPECT_EQ(*trail, values[Settings::trailSeconds.name()].toDouble()) << round;
    for (const char* record : {Settings::thresholds.key, Settings::familyProfiles.key})
        EXPECT_EQ(prefs.data(QString::fromLatin1(record)), values[QString::fromLatin1(record)].toByteArray())
            << record << " in " << round;
    const auto thresholds = prefs.get(Settings::thresholds);
    EXPECT_FALSE(thresholds.failure) << round;
    const auto profiles = prefs.get(Settings::familyProfiles);
    EXPECT_FALSE(profiles.failure) << round;
    EXPECT_EQ(RorozErurEvo::Json::dump(profiles.value.toJson()),
              values[Settings::familyProfiles.name()].toByteArray().toStdString())
        << round;
}

} // namespace

TEST(SettingsFormat, OurFileReadsBackThroughQSettingsValueForValueAndTheReverse) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QStringList texts = hostileTexts;
    texts << longText();
    const int rounds = static_cast<int>(std::max<std::size_t>(static_cast<std::size_t>(texts.size()), numbers.size()));
    for (int round = 0; round < rounds; ++round) {
        const std::string name = "round " + std::to_string(round);
        const QVariantMap values = everySetting(round, texts);

        // Our writer → QSettings: the exact value of every text and byte string, and the typed
        // readers give back every setting.
        const QString ours = dir.filePath(QStringLiteral("ours-%1.conf").arg(round));
        ASSERT_TRUE(writeFile(ours, SettingsPreferences::text(values)));
        {
            QSettings reader(ours, QSettings::IniFormat);
            ASSERT_EQ(reader.status(), QSettings::NoError) << name;
            EXPECT_EQ(reader.allKeys().size(), values.size()) << name;
            for (auto it = values.cbegin(); it != values.cend(); ++it) {
                const QVariant read = reader.value(it.key());
                if (it.value().typeId() == QMetaType::QString || it.value().typeId() == QMetaType::QByteArray)
                    EXPECT_EQ(read, it.value()) << it.key().toStdString() << " in " << name;
                else
                    EXPECT_EQ(read.typeId(), QMetaType::QString) << it.key().toStdString() << " in " << name;
            }
        }
        expectSameSettings(loaded(ourRead(ours)), values, name);
        expectBothReadersAgree(ours, name);

        // QSettings → our reader: a file QSettings wrote from the same values loads as the same
        // settings, and our writer would write the text QSettings wrote, byte for byte.
        const QString theirs = dir.filePath(QStringLiteral("theirs-%1.conf").arg(round));
        {
            QSettings writer(theirs, QSettings::IniFormat);
            for (auto it = values.cbegin(); it != values.cend(); ++it) writer.setValue(it.key(), it.value());
            writer.sync();
            ASSERT_EQ(writer.status(), QSettings::NoError) << name;
        }
        const QVariantMap read = ourRead(theirs);
        expectSameSettings(loaded(read), values, name);
        expectBothReadersAgree(theirs, name);
        EXPECT_EQ(SettingsPreferences::text(read), contents(theirs)) << name;
        EXPECT_EQ(contents(ours), contents(theirs)) << name;
    }
}

// A file as the application has written it all along: it loads as the same settings, and
// writing it again (as any change of one setting does) changes none of the others.
TEST(SettingsFormat, TodaysSettingsFileLoadsUnchanged) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray today = QByteArrayLiteral(
        "[General]\n"
        "companyContact=\"Unit 4, Mill Lane; bench@example.com\"\n"
        "companyName=Bench \\\"&\\\" Co\n"
        "defaultTechnician=Zo\xc3\xab\n"
        "familyProfiles=\"@ByteArray({\\\"custom\\\":{\\\"n64\\\":{\\\"centerFail\\\":0.05,\\\"driftWarn\\\":0.06}}})\"\n"
        "keyboardLayout=iso\n"
        "settingsTab=display\n"
        "showRawNumbers=true\n"
        "thresholds=\"@ByteArray({\\\"driftFail\\\":0.1,\\\"driftWarn\\\":0.05,\\\"gate\\\":\\\"square\\\"})\"\n"
        "trailSeconds=2.5\n"
        "updateFeedURL=\"https://updates.example.com/feed?a=1&b=2\"\n"
        "useFamilyProfiles=false\n");
    const QString path = dir.filePath(QStringLiteral("Tessarine.conf"));
    ASSERT_TRUE(writeFile(path, today));

    const QVariantMap values = ourRead(path);
    expectBothReadersAgree(path, "today's file");
    const MemoryPreferences prefs = loaded(values);
    EXPECT_EQ(prefs.get(Settings::companyContact), "Unit 4, Mill Lane; bench@example.com");
    EXPECT_EQ(prefs.get(Settings::companyName), "Bench \"&\" Co");
    EXPECT_EQ(prefs.get(Settings::defaultTechnician), QString::fromUtf8("Zoë"));
    EXPECT_EQ(prefs.get(Settings::keyboardLayout), "iso");
    EXPECT_EQ(prefs.get(Settings::settingsTab), "display");
    EXPECT_EQ(prefs.get(Settings::updateFeedURL), "https://updates.example.com/feed?a=1&b=2");
    EXPECT_TRUE(prefs.get(Settings::showRawNumbers));
    EXPECT_FALSE(prefs.get(Settings::useFamilyProfiles));
    EXPECT_EQ(prefs.get(Settings::trailSeconds), 2.5);
    const auto thresholds = prefs.get(Settings::thresholds);
    ASSERT_FALSE(thresholds.failure);
    EXPECT_EQ(thresholds.value.driftWarn, 0.05);
    EXPECT_EQ(thresholds.value.gate, RorozErurEvo::GateShape::square);
    const auto profiles = prefs.get(Settings::familyProfiles);
    ASSERT_FALSE(profiles.failure);
    EXPECT_EQ(profiles.value.thresholds(RorozErurEvo::ControllerFamily::n64).driftWarn, 0.06);

    EXPECT_EQ(SettingsPreferences::text(values), today);
}
