// Creation, settings, start and shutdown of the application model.
#include "ModelFakes.h"

#include <QDir>
#include <QFile>
#include <QImage>

#include <sys/stat.h>

#include <functional>
#include <utility>

#include <gtest/gtest.h>

#include "app/model/CommandState.h"
#include "support/TestLog.h"
#include "testkit/SessionArchive.h"
#include "testkit/SessionSamples.h"
#include "support/ManualExecutor.h"
#include "support/FakeAppActivity.h"

using namespace Tessarine;
using RorozErurEvo::Thresholds;

namespace {

// Counts emissions of one signal.
struct Spy {
    template <class Object, class Signal> Spy(Object* object, Signal signal) {
        QObject::connect(object, signal, [this] { ++hits; });
    }
    int hits = 0;
};

} // namespace

TEST(AppModelSettings, FirstLaunchGivesTheDefaultsAndWritesNothing) {
    Fakes::Bench bench;
    const AppModel& m = *bench.model;
    EXPECT_EQ(m.thresholds(), Thresholds::standard());
    EXPECT_TRUE(m.settings().familyProfiles().custom.empty());
    EXPECT_TRUE(m.settings().useFamilyProfiles());
    EXPECT_FALSE(m.settings().showRawNumbers());
    EXPECT_EQ(m.settings().trailSeconds(), 1.5);
    EXPECT_EQ(m.settings().companyName() + m.settings().companyContact() + m.settings().defaultTechnician(),
              "");
    EXPECT_EQ(m.navigation().selection(), SidebarItem::device("demo"));
    EXPECT_EQ(m.deviceLists().runnerCount(), 1u);
    EXPECT_NE(m.deviceLists().existingRunner("demo"), nullptr);
    ASSERT_TRUE(m.library().archive());
    EXPECT_EQ(m.library().archive()->folder, (bench.folder.path() + "/Sessions").toStdString());
    EXPECT_TRUE(bench.defaults->values().isEmpty());
    EXPECT_FALSE(QDir(bench.folder.path() + "/Sessions").exists()) << "nothing is created before the first save";
    EXPECT_TRUE(bench.log->empty()) << "creating the model starts nothing";
}

TEST(AppModelSettings, UnreadableEntriesFallBackAndAreLeftAsTheyAre) {
    TestLog::ExpectedWarnings logged("tessarine.model", "Couldn't read the saved");
    Fakes::Bench bench(true, [](MemoryPreferences& d) {
        d.setData("thresholds", QByteArray("[not json"));
        d.setData("familyProfiles", QByteArray("{\"custom\": 3}"));
        d.setValue("useFamilyProfiles", QStringLiteral("maybe"));
        d.setValue("showRawNumbers", 7);
        d.setValue("trailSeconds", QStringLiteral("long"));
        d.setValue("companyName", 12);
    });
    const AppModel& m = *bench.model;
    EXPECT_EQ(m.thresholds(), Thresholds::standard());
    EXPECT_TRUE(m.settings().familyProfiles().custom.empty());
    EXPECT_TRUE(m.settings().useFamilyProfiles());
    EXPECT_FALSE(m.settings().showRawNumbers());
    EXPECT_EQ(m.settings().trailSeconds(), 1.5);
    EXPECT_EQ(m.settings().companyName(), "");
    EXPECT_EQ(bench.defaults->data("thresholds"), QByteArray("[not json"));
    EXPECT_EQ(bench.defaults->string("useFamilyProfiles"), QStringLiteral("maybe"));
}

TEST(AppModelSettings, LimitsThatCannotBeReadAreSaidAtStartAndUntilNewOnesAreSaved) {
    TestLog::ExpectedWarnings logged("tessarine.model", "Couldn't read the saved");
    Fakes::Bench bench(true, [](MemoryPreferences& d) {
        d.setData("thresholds", QByteArray("[not json"));
        d.setData("familyProfiles", QByteArray("{\"custom\": 3}"));
    });
    AppModel& m = *bench.model;
    EXPECT_EQ(logged.count(), 2) << "each is logged with its cause";
    const auto notes = m.settings().limitsFallbacks();
    ASSERT_EQ(notes.size(), 2u);
    EXPECT_TRUE(notes[0].starts_with("Couldn't read the saved family profiles (")) << notes[0];
    EXPECT_TRUE(notes[1].starts_with("Couldn't read the saved thresholds (")) << notes[1];
    EXPECT_TRUE(notes[1].ends_with("); the standard ones apply until you save new limits.")) << notes[1];
    ASSERT_TRUE(m.toast());
    EXPECT_NE(m.toast()->find(notes[0]), std::string::npos);
    EXPECT_NE(m.toast()->find(notes[1]), std::string::npos);

    Spy changed(&m.settings(), &UserSettings::limitsFallbacksChanged);
    m.settings().setUseFamilyProfiles(false);
    EXPECT_EQ(m.settings().limitsFallbacks().size(), 2u)
        << "only saving limits of that kind answers the note";
    m.settings().setThresholds(Thresholds::standard());
    ASSERT_EQ(m.settings().limitsFallbacks().size(), 1u);
    EXPECT_TRUE(m.settings().limitsFallbacks()[0].starts_with("Couldn't read the saved family profiles"));
    m.settings().saveFamilyProfiles();
    EXPECT_TRUE(m.settings().limitsFallbacks().empty());
    EXPECT_EQ(changed.hits, 2);

    Fakes::Bench fresh;
    EXPECT_TRUE(fresh.model->settings().limitsFallbacks().empty())
        << "missing limits are a first launch, not a failure";
    EXPECT_FALSE(fresh.model->toast());
}

// The store logs the failure as it happens (at Quit too); the model tells the user.
TEST(AppModelSettings, ASettingsWriteThatFailedIsToastedWithItsCause) {
    Fakes::Bench bench;
    ASSERT_TRUE(bench.defaults->onSaveFailed);
    bench.defaults->onSaveFailed(QStringLiteral("could not write \u201C/x/Tessarine.conf\u201D: No space left on device"));
    EXPECT_EQ(bench.model->toast(),
              "Couldn't save the settings: could not write \u201C/x/Tessarine.conf\u201D: No space left on device");
}

TEST(AppModelSettings, AModelThatDoesNotPersistKeepsTheJSONKeysOutOfItsWay) {
    Thresholds custom = Thresholds::standard();
    custom.driftFail = 0.2;
    const QByteArray stored = QByteArray::fromStdString(RorozErurEvo::Json::dump(custom.toJson()));
    Fakes::Bench bench(false, [&](MemoryPreferences& d) {
        d.setData("thresholds", stored);
        d.setValue("trailSeconds", 2.0);
    });
    AppModel& m = *bench.model;
    EXPECT_EQ(m.thresholds(), Thresholds::standard());
    EXPECT_EQ(m.settings().trailSeconds(), 2.0) << "the plain keys are read all the same";
    EXPECT_FALSE(m.library().archive());

    m.settings().setThresholds(custom);
    EXPECT_EQ(m.thresholds(), custom);
    EXPECT_EQ(bench.defaults->data("thresholds"), stored) << "unchanged: never written without persistence";
    m.settings().setShowRawNumbers(true);
    EXPECT_EQ(bench.defaults->boolean("showRawNumbers"), true);
}

TEST(AppModelSettings, SettersWriteOnEveryAssignmentAndSignalOnlyOnChange) {
    Fakes::Bench bench;
    AppModel& m = *bench.model;
    Spy trail(&m.settings(), &UserSettings::trailSecondsChanged);
    Spy thresholds(&m.settings(), &UserSettings::thresholdsChanged);
    Spy company(&m.settings(), &UserSettings::companyNameChanged);

    m.settings().setTrailSeconds(1.5);
    EXPECT_EQ(trail.hits, 0);
    EXPECT_EQ(bench.defaults->number("trailSeconds"), 1.5) << "an equal value is written all the same";
    m.settings().setTrailSeconds(3);
    EXPECT_EQ(trail.hits, 1);
    EXPECT_EQ(bench.defaults->number("trailSeconds"), 3.0);

    m.settings().setThresholds(Thresholds::standard());
    EXPECT_EQ(thresholds.hits, 0);
    auto written = bench.defaults->data("thresholds");
    ASSERT_TRUE(written);
    EXPECT_EQ(Thresholds::fromJson(RorozErurEvo::Json::parse(written->toStdString())), Thresholds::standard());

    m.settings().setCompanyName("Fix-It Bench");
    m.settings().setCompanyName("Fix-It Bench");
    EXPECT_EQ(company.hits, 1);
    EXPECT_EQ(bench.defaults->string("companyName"), QStringLiteral("Fix-It Bench"));

    // A record that cannot be encoded is refused, not written, and nothing else breaks.
    Thresholds broken = Thresholds::standard();
    broken.driftFail = std::numeric_limits<double>::infinity();
    EXPECT_TRUE(m.settings().setThresholds(broken));
    EXPECT_EQ(thresholds.hits, 0);
    EXPECT_EQ(bench.defaults->data("thresholds"), written);
}

TEST(AppModelSettings, ImpossibleLimitsAreRefusedWithTheReasonWhoeverOffersThem) {
    Fakes::Bench bench;
    AppModel& m = *bench.model;
    Thresholds saved = Thresholds::standard();
    saved.driftFail = 0.2;
    EXPECT_FALSE(m.settings().setThresholds(saved));
    const auto written = bench.defaults->data("thresholds");
    Spy thresholds(&m.settings(), &UserSettings::thresholdsChanged);
    Spy profiles(&m.settings(), &UserSettings::familyProfilesChanged);

    Thresholds swapped = saved;
    swapped.driftWarn = 0.3;
    auto refused = m.settings().setThresholds(swapped);
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->reason, "driftWarn 0.3 lies above driftFail 0.2; higher is worse, so warn can be at most fail");
    Thresholds negative = saved;
    negative.settleWarnMs = -1;
    EXPECT_EQ(m.settings().setThresholds(negative)->field, &Thresholds::settleWarnMs);
    EXPECT_EQ(m.thresholds(), saved);
    EXPECT_EQ(bench.defaults->data("thresholds"), written);

    RorozErurEvo::FamilyProfiles bad;
    bad.set(swapped, RorozErurEvo::ControllerFamily::nintendoSwitch);
    refused = m.settings().setFamilyProfiles(bad);
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->family, RorozErurEvo::ControllerFamily::nintendoSwitch);
    EXPECT_TRUE(m.settings().familyProfiles().custom.empty());
    EXPECT_FALSE(bench.defaults->data("familyProfiles")) << "nothing written";
    EXPECT_EQ(thresholds.hits + profiles.hits, 0);
}

TEST(AppModelSettings, ImpossibleStoredLimitsFallBackAtStartAndTheOtherSettingsStay) {
    TestLog::ExpectedWarnings logged("tessarine.model", "Couldn't read the saved");
    using RorozErurEvo::ControllerFamily;
    Thresholds impossible = Thresholds::standard();
    impossible.centerWarn = 0.1; // above its fail of 0.05
    impossible.driftFail = 0.2;
    Thresholds kept = RorozErurEvo::typical(ControllerFamily::xbox);
    kept.driftFail = 0.25;
    const RorozErurEvo::FamilyProfiles stored({{ControllerFamily::xbox, kept}, {ControllerFamily::n64, impossible}});
    const QByteArray storedThresholds = QByteArray::fromStdString(RorozErurEvo::Json::dump(impossible.toJson()));
    Fakes::Bench bench(true, [&](MemoryPreferences& d) {
        d.setData("thresholds", storedThresholds);
        d.setData("familyProfiles", QByteArray::fromStdString(RorozErurEvo::Json::dump(stored.toJson())));
        d.setValue("trailSeconds", 2.5);
        d.setValue("companyName", QStringLiteral("Fix-It Bench"));
    });
    AppModel& m = *bench.model;
    EXPECT_EQ(m.thresholds(), Thresholds::standard());
    EXPECT_EQ(m.settings().familyProfiles().thresholds(ControllerFamily::xbox), kept)
        << "a good profile stays";
    EXPECT_FALSE(m.settings().familyProfiles().isCustom(ControllerFamily::n64));
    EXPECT_EQ(m.settings().trailSeconds(), 2.5);
    EXPECT_EQ(m.settings().companyName(), "Fix-It Bench");
    EXPECT_EQ(bench.defaults->data("thresholds"), storedThresholds) << "left as it is until new limits are saved";

    const auto notes = m.settings().limitsFallbacks();
    ASSERT_EQ(notes.size(), 2u);
    EXPECT_NE(notes[0].find("N64"), std::string::npos) << notes[0];
    EXPECT_NE(notes[1].find("(centerWarn 0.1 lies above centerFail 0.05;"), std::string::npos) << notes[1];
    EXPECT_EQ(logged.count(), 2);
    ASSERT_TRUE(m.toast());
    EXPECT_NE(m.toast()->find(notes[1]), std::string::npos);
}

TEST(AppModelStart, LiveStartLoadsSessionsInTheBackgroundThenStartsTheSourcesInOrder) {
    Fakes::Bench bench;
    RorozErurEvo::TestSession saved;
    saved.id = RorozErurEvo::Uuid::random();
    saved.date = RorozErurEvo::Dates::now();
    saved.device.name = "Pad";
    RorozErurEvo::SessionArchive{(bench.folder.path() + "/Sessions").toStdString()}.save(saved);

    bench.model->start(true);
    // The folder is read, but its list lands only when the main thread runs the posted call.
    EXPECT_TRUE(bench.model->library().loading());
    EXPECT_TRUE(bench.model->library().sessions().empty());
    EXPECT_FALSE(CommandState::of(*bench.model).exportAll) << "exporting every session waits for them all";
    EXPECT_EQ(*bench.log, (std::vector<std::string>{"controllers.start", "hid.start", "demo.start", "frame.start"}));
    EXPECT_EQ(bench.executor->runAll(), 1);
    EXPECT_FALSE(bench.model->library().loading());
    ASSERT_EQ(bench.model->library().sessions().size(), 1u);
    EXPECT_EQ(bench.model->library().sessions()[0].id, saved.id);
    EXPECT_TRUE(CommandState::of(*bench.model).exportAll);
    ASSERT_EQ(bench.timers.size(), 2u);
    EXPECT_NEAR(bench.timers[1]->seconds, 1.0 / 60, 1e-12);

    bench.timers[1]->fire();
    EXPECT_EQ(bench.model->frame(), 1);

    Fakes::Bench offline(false);
    offline.model->start(false);
    EXPECT_EQ(*offline.log, (std::vector<std::string>{"demo.start", "frame.start"}));
    EXPECT_FALSE(offline.model->library().loading()) << "a model that does not persist has nothing to load";
}

TEST(AppModelStart, TheControllersStartWhenTheApplicationLetsThemAndNeverAfterShutdown) {
    std::function<void()> held;
    auto holding = [&held](std::function<void()> start) { held = std::move(start); };
    {
        Fakes::Bench bench(true, {}, nullptr, nullptr, std::make_unique<InlineWorker>(), holding);
        bench.model->start(true);
        EXPECT_EQ(*bench.log, (std::vector<std::string>{"hid.start", "demo.start", "frame.start"}));
        ASSERT_TRUE(held);
        std::exchange(held, nullptr)();
        EXPECT_EQ(bench.log->back(), "controllers.start");
    }
    // Let go after shutdown, or once the model is gone: nothing starts.
    Fakes::Bench bench(true, {}, nullptr, nullptr, std::make_unique<InlineWorker>(), holding);
    bench.model->start(true);
    bench.model->shutdown();
    bench.log->clear();
    const auto start = std::exchange(held, nullptr);
    start();
    EXPECT_TRUE(bench.log->empty()) << bench.log->front();
    bench.model.reset();
    bench.log->clear();
    start();
    EXPECT_TRUE(bench.log->empty());
}

namespace {

// The session folder's disk in the shutdown's moment: it writes what it was given within it, or
// never answers. Nothing lands on the main thread any more, as after the event loop.
class ShutdownDisk final : public BackgroundWorker {
public:
    explicit ShutdownDisk(bool answers) : answers_(answers) {}
    void run(std::function<void()> work) override { held_.push_back(std::move(work)); }
    void wait() override {}
    bool finish(std::chrono::milliseconds) override {
        if (!answers_) return false;
        for (auto& work : std::exchange(held_, {})) work();
        return true;
    }

private:
    bool answers_;
    std::vector<std::function<void()>> held_;
};

} // namespace

// A session write the quit did not wait for (a signal's wait ran out, or the user quit anyway)
// is named lost only when the shutdown's moment did not see it written.
TEST(AppModelStart, ShutdownNamesASessionWriteLostOnlyWhenItWas) {
    for (bool answers : {true, false}) {
        Fakes::Bench bench(true, {}, nullptr, nullptr, std::make_unique<ShutdownDisk>(answers));
        bench.model->library().saveInBackground(RorozErurEvo::Samples::session("SN-9", "2026-03-01T09:00:00Z"));
        TestLog::CapturedMessages log("tessarine.model");
        TestLog::ExpectedWarnings lost("tessarine.model",
                                       QString::fromUtf8("Quitting now loses the session \u201CSN-9, session\u201D."));
        bench.model->shutdown();
        EXPECT_EQ(lost.count(), answers ? 0 : 1) << "answers " << answers;
        EXPECT_EQ(log.messages().contains("The session writes not done at the quit were written before the end"), answers);
        EXPECT_EQ(RorozErurEvo::SessionArchive{bench.model->sessionsFolder().toStdString()}.loadAll().size(), answers ? 1u : 0u);
    }
}

TEST(AppModelStart, ShutdownStopsTimersAndJoinsSourcesBeforeTheModelGoes) {
    Fakes::Bench bench;
    bench.model->start(true);
    bench.executor->runAll(); // the saved sessions land
    bench.log->clear();
    bench.model->shutdown();
    EXPECT_EQ(*bench.log, (std::vector<std::string>{"frame.stop", "demo.stop", "hid.stop", "controllers.stop"}));
    bench.model->tick(200);
    EXPECT_EQ(bench.model->frame(), 0) << "no tick after shutdown";

    // A HID change still queued when the model goes away finds it gone.
    bench.hid->onChange();
    bench.log->clear();
    bench.model.reset();
    EXPECT_TRUE(bench.log->empty()) << "destruction after shutdown stops nothing twice";
    EXPECT_EQ(bench.executor->runAll(), 1);
}

TEST(AppModelStart, TheReportLogoIsReadOffTheStartAndAPipeInItsPlaceIsRefused) {
    {
        // The logo file is read by the worker when the model starts, not when it is made.
        Fakes::Bench bench;
        QImage(6, 2, QImage::Format_RGB32).save(bench.model->logoPath(), "PNG");
        EXPECT_TRUE(bench.model->settings().logo().isNull());
        bench.model->start(false);
        EXPECT_EQ(bench.executor->runAll(), 2) << "the sessions and the logo land";
        EXPECT_EQ(bench.model->settings().logo().size(), QSize(6, 2));
    }
    {
        // A logo removed while the old one was being read stays removed.
        Fakes::Bench bench;
        QImage(6, 2, QImage::Format_RGB32).save(bench.model->logoPath(), "PNG");
        bench.model->start(false);
        bench.model->removeLogo();
        bench.executor->runAll();
        EXPECT_TRUE(bench.model->settings().logo().isNull());
    }
    // A pipe that no program writes to: opening it plainly would wait for ever.
    Fakes::Bench bench;
    ASSERT_EQ(::mkfifo(QFile::encodeName(bench.model->logoPath()).constData(), 0600), 0);
    TestLog::ExpectedWarnings logged("tessarine.model", "Couldn't read the report logo");
    bench.model->start(false);
    bench.executor->runAll();
    EXPECT_TRUE(bench.model->settings().logo().isNull());
    EXPECT_EQ(logged.count(), 1);
    EXPECT_EQ(bench.model->toast(), "Couldn't read the report logo \u201C" + bench.model->logoPath().toStdString() +
                                        "\u201D: not a regular file. Reports are made without it.");
}

TEST(AppModelSettings, ASettingsFileThatIsNoRegularFileIsSaidAndTheStandardSettingsApply) {
    QTemporaryDir dir;
    const QString path = dir.filePath("Tessarine.conf");
    // A pipe no program writes to: opened plainly, the start would wait for ever.
    ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    auto log = std::make_shared<std::vector<std::string>>();
    TestLog::ExpectedWarnings logged("tessarine.model", "Couldn't read the settings file");
    auto settings = std::make_unique<SettingsPreferences>(std::make_unique<SettingsWriter>(path));
    SettingsWriter& writer = settings->writer();
    AppModel model(true, AppModel::Parts{.defaults = std::move(settings),
                                         .executor = std::make_shared<ManualExecutor>(),
                                         .activity = std::make_unique<FakeAppActivity>(),
                                         .supportFolder = dir.path(),
                                         .controllers = std::make_unique<Fakes::Controllers>(log),
                                         .hid = std::make_unique<Fakes::HID>(log),
                                         .background = std::make_unique<InlineWorker>()});
    EXPECT_EQ(logged.count(), 1);
    EXPECT_EQ(model.toast(), "Couldn't read the settings file \u201C" + path.toStdString() +
                                 "\u201D: not a regular file. The standard settings apply, and changes won't be saved.");
    EXPECT_EQ(model.thresholds(), Thresholds::standard());
    EXPECT_EQ(model.settings().trailSeconds(), 1.5);
    model.settings().setTrailSeconds(3);
    writer.finish();
    struct stat info {};
    ASSERT_EQ(::lstat(QFile::encodeName(path).constData(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode)) << "never written over";
}
