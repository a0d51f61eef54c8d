#include "app/model/Preferences.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSettings>
#include <QSignalSpy>
#include <QSysInfo>
#include <QTemporaryDir>

#include <sys/stat.h>

#include <atomic>
#include <future>

#include "app/model/AtomicFile.h"
#include "app/model/UserSettings.h"
#include "support/TestLog.h"

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
    const QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.path()));
    EXPECT_EQ(SettingsPreferences::standardPath(), dir.path() + "/com.quenlow/Tessarine.conf");
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
    prefs.writer().finish();
    if (oldConfig.isNull()) qunsetenv("XDG_CONFIG_HOME");
    else qputenv("XDG_CONFIG_HOME", oldConfig);
}

namespace {

// A settings file in a folder of its own, written by a writer the test chooses.
struct SettingsFolder {
    SettingsFolder() { EXPECT_TRUE(dir.isValid()); }
    QString path() const { return dir.path() + "/Tessarine.conf"; }
    std::unique_ptr<SettingsWriter> writer(SettingsWriter::Options options = {}) const {
        return std::make_unique<SettingsWriter>(path(), std::move(options));
    }
    QByteArray contents() const {
        QFile file(path());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    QTemporaryDir dir;
};

// The write a full disk gives: nothing written, and the atomic writer's kind of message.
std::optional<QString> diskFull(const QString& path, const QByteArray&) {
    return "could not write \u201C" + path + "\u201D: No space left on device";
}

} // namespace

TEST(Preferences, EveryValueReadsBackThroughTheSettingsReaderAsItWasSet) {
    SettingsFolder folder;
    // Texts the INI form has to escape or quote, and a record's bytes.
    const QVariantMap values{
        {"companyName", QStringLiteral(" Bench, Repair & Co; \"best\" = yes ")},
        {"companyContact", QStringLiteral("line one\nline two\ttabbed \\ back")},
        {"defaultTechnician", QStringLiteral("@Zoë Ørsted 技師")},
        {"settingsTab", QStringLiteral("x\x01" "abc")},
        {"thresholds", QByteArray("{\"driftWarn\": 0.05, \"name\": \"caf\xc3\xa9\", \"x\": \"a\x7f" "b\"}")},
        {"useFamilyProfiles", false},
        {"trailSeconds", 0.1 + 0.2},
        {"tiny", 1e-300},
    };
    {
        SettingsPreferences prefs(folder.writer());
        for (auto it = values.cbegin(); it != values.cend(); ++it) prefs.setValue(it.key(), it.value());
        prefs.writer().finish();
    }
    QSettings reader(folder.path(), QSettings::IniFormat);
    ASSERT_EQ(reader.status(), QSettings::NoError);
    EXPECT_EQ(reader.allKeys().size(), values.size());
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        if (it.value().typeId() == QMetaType::QString || it.value().typeId() == QMetaType::QByteArray) {
            EXPECT_EQ(reader.value(it.key()), it.value()) << it.key().toStdString();
        }
    }
    EXPECT_EQ(reader.value("useFamilyProfiles").toString(), "false");
    EXPECT_EQ(reader.value("trailSeconds").toString().toDouble(), 0.1 + 0.2) << "the shortest text gives the same number";
    EXPECT_EQ(reader.value("tiny").toString().toDouble(), 1e-300);

    // A file the settings class wrote itself reads the same, and a rewrite keeps every key.
    SettingsPreferences again(folder.writer());
    EXPECT_EQ(again.get(Settings::companyName), values["companyName"].toString());
    EXPECT_EQ(again.get(Settings::useFamilyProfiles), false);
    EXPECT_EQ(again.get(Settings::trailSeconds), 0.1 + 0.2);
    EXPECT_EQ(again.data("thresholds"), values["thresholds"].toByteArray());
}

TEST(Preferences, AFileQSettingsWroteReadsTheSame) {
    SettingsFolder folder;
    const QVariantMap values{
        {"companyName", QStringLiteral(" Bench, Repair & Co; \"best\" = yes ")},
        {"companyContact", QStringLiteral("line one\nline two\ttabbed \\ back")},
        {"defaultTechnician", QStringLiteral("@Zo\u00EB \u00D8rsted \u6280\u5E2B")},
        {"settingsTab", QStringLiteral("x\x01" "abc")},
        {"thresholds", QByteArray::fromStdString(std::string("{\"name\": \"caf\xc3\xa9\", \"x\": \"a\x7f" "b\0c\"}", 31))},
        {"Window/state", QStringLiteral("wide")},
        {"key with spaces %", QStringLiteral("=")},
    };
    {
        QSettings writer(folder.path(), QSettings::IniFormat);
        for (auto it = values.cbegin(); it != values.cend(); ++it) writer.setValue(it.key(), it.value());
    }
    SettingsPreferences prefs(folder.writer());
    EXPECT_FALSE(prefs.loadFailure());
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        EXPECT_EQ(prefs.value(it.key()), it.value()) << it.key().toStdString();
}

TEST(Preferences, ASettingsFileThatCannotBeReadIsRefusedAndNeverWrittenOver) {
    SettingsFolder folder;
    const QByteArray path = QFile::encodeName(folder.path());
    // A pipe no program writes to: opening it plainly would wait for ever.
    ASSERT_EQ(::mkfifo(path.constData(), 0600), 0);
    {
        SettingsPreferences prefs(folder.writer());
        ASSERT_TRUE(prefs.loadFailure());
        EXPECT_EQ(*prefs.loadFailure(), "\u201C" + folder.path() + "\u201D: not a regular file");
        EXPECT_EQ(prefs.get(Settings::trailSeconds), 1.5) << "the standard settings apply";
        prefs.set(Settings::companyName, QStringLiteral("Fixit"));
        EXPECT_EQ(prefs.get(Settings::companyName), "Fixit") << "kept for the rest of the run";
        prefs.writer().finish();
    }
    struct stat info {};
    ASSERT_EQ(::lstat(path.constData(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode)) << "the pipe was not replaced by a file";
    ASSERT_EQ(::unlink(path.constData()), 0);

    // Settings a megabyte long are no settings this application wrote: refused unread, kept.
    {
        QFile big(folder.path());
        ASSERT_TRUE(big.open(QIODevice::WriteOnly));
        big.write("[General]\ncompanyName=Old\n");
        ASSERT_TRUE(big.resize(SettingsPreferences::maxFileBytes + 1));
    }
    {
        SettingsPreferences prefs(folder.writer());
        ASSERT_TRUE(prefs.loadFailure());
        EXPECT_TRUE(prefs.loadFailure()->endsWith(": larger than 1 MB")) << prefs.loadFailure()->toStdString();
        EXPECT_FALSE(prefs.string("companyName"));
        prefs.set(Settings::companyName, QStringLiteral("New"));
        prefs.writer().finish();
    }
    EXPECT_EQ(QFileInfo(folder.path()).size(), qint64(SettingsPreferences::maxFileBytes + 1));
    EXPECT_TRUE(folder.contents().startsWith("[General]\ncompanyName=Old\n"));

    // No file yet is a first start, not a failure.
    ASSERT_TRUE(QFile::remove(folder.path()));
    EXPECT_FALSE(SettingsPreferences(folder.writer()).loadFailure());
}

// Each line of the file that is not read is logged with its cause; a file of nothing but such
// lines (another file saved in its place) says a few and how many more, not every one of them.
TEST(Preferences, LinesNotReadAreLoggedAndThousandsOfThemInAFewLines) {
    SettingsFolder folder;
    {
        QFile file(folder.path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        QByteArray text = "[General]\ncompanyName=Bench\n";
        while (text.size() < qsizetype(SettingsPreferences::maxFileBytes) - 8) text += "\x7f\x01\n";
        file.write(text);
    }
    constexpr auto listed = static_cast<int>(RorozErurEvo::SettingsIni::mostRefusalsListed);
    const QString file = "settings file \u201C" + folder.path() + "\u201D";
    TestLog::ExpectedWarnings all("tessarine.model", "Couldn't read"); // those the two below do not count
    TestLog::ExpectedWarnings first("tessarine.model", "Couldn't read line 3 of the " + file + ": the line has no");
    TestLog::ExpectedWarnings more("tessarine.model", QStringLiteral("more lines of the %1 after line %2").arg(file).arg(listed + 2));
    const SettingsPreferences prefs(folder.writer());
    EXPECT_FALSE(prefs.loadFailure());
    EXPECT_EQ(prefs.get(Settings::companyName), "Bench");
    EXPECT_EQ(first.count(), 1);
    EXPECT_EQ(more.count(), 1);
    EXPECT_EQ(all.count(), listed - 1) << "the listed lines but the first, each on its own";
}

// A company name typed by hand with a comma is the company name, and stays so through a save; a
// line the reader does not understand stays in the file as it stood, the user is told once which
// line it is and why, and the log shows the key's control characters escaped.
TEST(Preferences, AHandEditedFileKeepsItsTextsAndTheLinesNotUnderstoodThroughASave) {
    SettingsFolder folder;
    const QByteArray notUnderstood = "trailSeconds=@Variant(\\0\\0\\0\\x7f)\n"
                                     "k%0A%1B[31m=@Rect(1 2 3 4)\n";
    {
        QFile file(folder.path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("[General]\ncompanyName=Acme, Inc\n" + notUnderstood);
    }
    const QString file = "the settings file \u201C" + folder.path() + "\u201D";
    const QString told = "Couldn't read line 3 of " + file +
                         " (key \u201CtrailSeconds\u201D): the value is of a type no setting has, nor 1 more line. They "
                         "stay in the file as they are, unused.";
    {
        TestLog::ExpectedWarnings type("tessarine.model", "(key \u201CtrailSeconds\u201D): the value is of a type");
        TestLog::ExpectedWarnings key("tessarine.model", "(key \u201Ck\\n\\x1b[31m\u201D): the value is of a type");
        SettingsPreferences prefs(folder.writer());
        EXPECT_EQ(type.count(), 1);
        EXPECT_EQ(key.count(), 1) << "a key's newline and escape sequence are shown, not obeyed";
        EXPECT_EQ(prefs.get(Settings::companyName), "Acme, Inc");
        EXPECT_EQ(prefs.unreadLines(), told);
        EXPECT_EQ(UserSettings(prefs, false).read(), std::vector<std::string>{told.toStdString()});
        prefs.set(Settings::defaultTechnician, QStringLiteral("Ana"));
        prefs.writer().finish();
    }
    const QByteArray saved = folder.contents();
    EXPECT_TRUE(saved.startsWith("[General]\n" + notUnderstood + "companyName=\"Acme, Inc\"\n")) << saved.toStdString();
    EXPECT_EQ(QSettings(folder.path(), QSettings::IniFormat).value("companyName"), "Acme, Inc");
    TestLog::ExpectedWarnings again("tessarine.model", "Couldn't read line");
    SettingsPreferences next(folder.writer());
    EXPECT_EQ(next.get(Settings::companyName), "Acme, Inc");
    EXPECT_EQ(next.get(Settings::defaultTechnician), "Ana");
    EXPECT_EQ(next.unreadLines(), QString(told).replace("line 3", "line 2")) << "told again while the lines are there";
    EXPECT_EQ(again.count(), 2);

    // The toast shows a key's line break as the log does, on one line.
    SettingsFolder other;
    {
        QFile file(other.path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("k%0A=@Rect(1 2 3 4)\n");
    }
    TestLog::ExpectedWarnings newline("tessarine.model", "(key \u201Ck\\n\u201D)");
    EXPECT_TRUE(SettingsPreferences(other.writer()).unreadLines()->contains("(key \u201Ck\\n\u201D)"));
}

// A company name set in the app is the one the next start reads, though the file ends in a hand
// edit of the same key left open (a quote never closed): the line stays, last, where it can take
// nothing away, and QSettings reads the name set too.
TEST(Preferences, ANameSetOutlastsAnOpenHandEditOfItsKey) {
    SettingsFolder folder;
    const QByteArray open = "companyName=Acme, @\"Inc";
    {
        QFile file(folder.path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("[General]\ncompanyContact=Mill Lane\n" + open);
    }
    TestLog::ExpectedWarnings refused("tessarine.model", "(key \u201CcompanyName\u201D): the value is a list");
    {
        SettingsPreferences prefs(folder.writer());
        EXPECT_EQ(prefs.get(Settings::companyName), "");
        prefs.set(Settings::companyName, QStringLiteral("Acme"));
        prefs.writer().finish();
    }
    EXPECT_TRUE(folder.contents().endsWith("\n[]\n" + open)) << folder.contents().toStdString();
    for (int start = 0; start < 3; ++start) {
        TestLog::ExpectedWarnings setAside("tessarine.model", "(key \u201C/companyName\u201D): the key or its section has no name");
        SettingsPreferences next(folder.writer());
        EXPECT_EQ(next.get(Settings::companyName), "Acme");
        EXPECT_EQ(next.get(Settings::companyContact), "Mill Lane");
        EXPECT_EQ(setAside.count(), 1) << "told at every start while the line is there";
        next.set(Settings::defaultTechnician, QStringLiteral("Ana %1").arg(start));
        next.writer().finish();
    }
    EXPECT_TRUE(folder.contents().endsWith("\n[]\n" + open)) << "the line as it stood, save after save";
    EXPECT_EQ(QSettings(folder.path(), QSettings::IniFormat).value("companyName"), "Acme");
}

// The writer never writes a file larger than the reader takes (maxFileBytes), so no change can
// lose the settings at the next start. A file at the bound: a change that would pass it first
// drops the keys no setting uses; when the settings themselves would pass it, the change is not
// written, the file keeps what it held and the cause is told. A write that reaches the bound
// exactly is made, and read back.
TEST(Preferences, ASettingsFileAtItsBoundNeverGrowsPastIt) {
    SettingsFolder folder;
    constexpr auto bound = static_cast<qsizetype>(SettingsPreferences::maxFileBytes);
    // A file of `size` bytes: the given lines, then one key padded to make up the size.
    const auto fileOf = [&](qsizetype size, const QByteArray& lines, const QByteArray& paddedKey) {
        QByteArray text = "[General]\n" + lines + paddedKey + "=";
        text += QByteArray(size - text.size() - 1, 'x') + "\n";
        QFile file(folder.path());
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text);
        return text;
    };
    // Read as the next start reads it.
    const auto readable = [&] {
        SettingsPreferences next(folder.writer());
        return !next.loadFailure() && next.string(Settings::companyName.name()).has_value();
    };

    // A key of an older version or a hand edit pads the file to the bound: it goes, the change stays.
    fileOf(bound, "companyName=Old\n", "oldLeftover");
    {
        SettingsPreferences prefs(folder.writer());
        ASSERT_FALSE(prefs.loadFailure());
        TestLog::ExpectedWarnings dropped("tessarine.model", "dropped 1 keys that are no setting of Tessarine: oldLeftover");
        prefs.set(Settings::companyName, QStringLiteral("A longer name"));
        prefs.writer().finish();
        EXPECT_EQ(dropped.count(), 1);
        EXPECT_FALSE(prefs.value(QStringLiteral("oldLeftover")).isValid());
    }
    EXPECT_TRUE(readable());
    EXPECT_EQ(SettingsPreferences(folder.writer()).get(Settings::companyName), "A longer name");

    // The settings alone 14 bytes short of the bound: "companyName=B\n" fills it exactly.
    fileOf(bound - 14, "", "companyContact");
    {
        SettingsPreferences prefs(folder.writer());
        std::vector<QString> causes;
        prefs.onSaveFailed = [&](const QString& cause) { causes.push_back(cause); };
        prefs.set(Settings::companyName, QStringLiteral("B"));
        prefs.writer().finish();
        EXPECT_EQ(QFileInfo(folder.path()).size(), bound) << "written at the bound exactly";
        const QByteArray kept = folder.contents();
        TestLog::ExpectedWarnings logged("tessarine.model", "Couldn't save the settings: they would make");
        prefs.set(Settings::companyName, QStringLiteral("BC"));
        EXPECT_EQ(logged.count(), 1) << "logged at once: at Quit no event loop is left to tell it";
        prefs.writer().finish();
        QCoreApplication::processEvents();
        ASSERT_EQ(causes.size(), 1u);
        EXPECT_EQ(causes[0], "they would make \u201C" + folder.path() +
                                 "\u201D larger than 1 MB, more than it is read at; it keeps the settings saved before");
        EXPECT_EQ(prefs.get(Settings::companyName), "BC") << "the running program keeps what was set";
        EXPECT_EQ(folder.contents(), kept) << "the file on disk is kept";
    }
    EXPECT_TRUE(readable());
    EXPECT_EQ(SettingsPreferences(folder.writer()).get(Settings::companyName), "B");
}

TEST(Preferences, TheSchemaGivesFallbacksForMissingWrongAndEmptyValues) {
    MemoryPreferences prefs;
    EXPECT_EQ(prefs.get(Settings::settingsTab), "thresholds");
    EXPECT_EQ(prefs.get(Settings::trailSeconds), 1.5);
    prefs.setValue("settingsTab", QString());
    prefs.setValue("trailSeconds", QStringLiteral("long"));
    prefs.setValue("useFamilyProfiles", QStringLiteral("maybe"));
    EXPECT_EQ(prefs.get(Settings::settingsTab), "thresholds") << "an empty text reads as the fallback";
    EXPECT_EQ(prefs.get(Settings::trailSeconds), 1.5);
    EXPECT_TRUE(prefs.get(Settings::useFamilyProfiles));

    EXPECT_FALSE(prefs.get(Settings::thresholds).failure) << "a missing record is no failure";
    prefs.setData("thresholds", QByteArray("[not json"));
    const auto loaded = prefs.get(Settings::thresholds);
    EXPECT_EQ(loaded.value, RorozErurEvo::Thresholds::standard());
    EXPECT_TRUE(loaded.failure);
    auto custom = RorozErurEvo::Thresholds::standard();
    custom.driftFail = 0.3;
    EXPECT_TRUE(prefs.set(Settings::thresholds, custom));
    EXPECT_EQ(prefs.get(Settings::thresholds).value, custom);
}

TEST(SettingsWriter, AFullDiskBehindAStaleLockEndsInItsCauseAndKeepsTheLastGoodFile) {
    SettingsFolder folder;
    {
        SettingsPreferences prefs(folder.writer());
        prefs.set(Settings::companyName, QStringLiteral("Good Bench"));
    }
    const QByteArray good = folder.contents();
    ASSERT_TRUE(good.contains("Good Bench"));
    // The lock a killed writer left: its process is gone (no process can have this number).
    {
        QFile lock(folder.path() + ".lock");
        ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
        lock.write("4194399\ntessarine\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    }
    SettingsWriter::Options options;
    options.write = diskFull;
    TestLog::ExpectedWarnings logged("tessarine.model", "Couldn't save the settings: could not write");
    SettingsPreferences prefs(folder.writer(options));
    std::vector<QString> causes;
    prefs.onSaveFailed = [&](const QString& cause) { causes.push_back(cause); };
    prefs.set(Settings::companyName, QStringLiteral("Lost Bench"));
    EXPECT_EQ(prefs.get(Settings::companyName), "Lost Bench") << "the running program keeps what was set";
    prefs.writer().finish();
    QCoreApplication::processEvents();
    ASSERT_EQ(causes.size(), 1u);
    EXPECT_TRUE(causes[0].endsWith("No space left on device")) << causes[0].toStdString();
    EXPECT_EQ(logged.count(), 1);
    EXPECT_EQ(folder.contents(), good);
}

TEST(SettingsWriter, ALockHeldByAnotherOwnerEndsTheSaveInsteadOfWaitingOnIt) {
    SettingsFolder folder;
    QLockFile other(folder.path() + ".lock");
    ASSERT_TRUE(other.tryLock());
    SettingsWriter::Options options;
    options.lockWait = std::chrono::milliseconds(0);
    TestLog::ExpectedWarnings logged("tessarine.model", "is held by another program");
    SettingsWriter writer(folder.path(), options);
    QSignalSpy failed(&writer, &SettingsWriter::failed);
    writer.save("[General]\nx=1\n");
    ASSERT_TRUE(failed.wait(10'000));
    EXPECT_TRUE(failed.at(0).at(0).toString().contains("is held by another program")) << failed.at(0).at(0).toString().toStdString();
    EXPECT_FALSE(QFile::exists(folder.path()));

    other.unlock();
    writer.save("[General]\nx=2\n");
    writer.finish();
    EXPECT_EQ(folder.contents(), "[General]\nx=2\n");
}

TEST(SettingsWriter, SettingAValueNeverWaitsForTheDiskAndTheNewestTextWins) {
    SettingsFolder folder;
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    std::atomic<int> writes{0};
    SettingsWriter::Options options;
    options.write = [&, released](const QString& path, const QByteArray& text) {
        ++writes;
        released.wait(); // a disk that does not answer
        return AtomicFile::write(path, text);
    };
    SettingsPreferences prefs(folder.writer(options));
    // Every one of these returns while the first write is stuck: nothing here waits on it.
    for (int i = 1; i <= 5; ++i) prefs.set(Settings::trailSeconds, double(i));
    EXPECT_EQ(prefs.get(Settings::trailSeconds), 5.0);
    release.set_value();
    prefs.writer().finish();
    EXPECT_LE(writes.load(), 2) << "saves asked for during a write fold into one";
    EXPECT_TRUE(folder.contents().contains("trailSeconds=5\n"));
}
