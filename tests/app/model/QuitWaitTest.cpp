// Quitting waits for the session writes the user asked for: a quick one lands unseen, a slow one
// is shown after a moment and may be given up, naming what it would lose; a signal waits without
// asking, for a bounded time, and the log names what was not done yet.
#include "app/model/QuitWait.h"

#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>

#include "app/model/SessionLibrary.h"
#include "support/HeldWorker.h"
#include "support/ManualExecutor.h"
#include "support/ManualTimers.h"
#include "support/TestLog.h"
#include "testkit/SessionSamples.h"

using namespace Tessarine;
using RorozErurEvo::SessionArchive;
using RorozErurEvo::TestSession;
namespace Samples = RorozErurEvo::Samples;

namespace {

// A session folder whose writes are held, as a slow disk holds them, until the test lets them land.
struct QuitFixture : ::testing::Test {
    QTemporaryDir dir;
    SessionArchive archive{(dir.path() + "/Sessions").toStdString()};
    HeldWorker disk;
    std::shared_ptr<ManualExecutor> executor = std::make_shared<ManualExecutor>();
    SessionLibrary library{archive};
    FakeClock clock{100};
    ManualTimers timers;
    QuitWait wait{library, clock, timers.factory()};
    QSignalSpy shown{&wait, &QuitWait::showWaiting};
    QSignalSpy quit{&wait, &QuitWait::quitNow};

    QuitFixture() { library.useBackground(disk, executor); }

    TestSession save(const std::string& unit, const std::string& label = "Before repair") {
        TestSession session = Samples::session(unit, "2026-03-01T09:00:00Z");
        session.label = label;
        library.saveInBackground(session);
        return session;
    }
    // Time passes and the wait looks at the clock.
    void after(double seconds) {
        clock.advance(seconds);
        if (timers.fire) timers.fire();
    }
    // The disk answers: the writes are done and land on the main thread.
    void land() {
        disk.release();
        executor->runAll();
    }
    bool written(const TestSession& session) const {
        return std::filesystem::exists(archive.folder / (session.id.text() + ".json"));
    }
};

} // namespace

TEST_F(QuitFixture, NothingPendingQuitsAtOnceAndAQuickSaveShowsNothing) {
    wait.request(QuitWait::Asker::user);
    EXPECT_EQ(quit.count(), 1);
    EXPECT_TRUE(wait.released());

    QuitWait again{library, clock, timers.factory()};
    QSignalSpy againShown(&again, &QuitWait::showWaiting);
    QSignalSpy againQuit(&again, &QuitWait::quitNow);
    const TestSession session = save("SN-4411");
    again.request(QuitWait::Asker::user);
    EXPECT_EQ(againQuit.count(), 0) << "the save is still on its way";
    after(QuitWait::quietSeconds / 2);
    land();
    EXPECT_TRUE(written(session));
    EXPECT_EQ(againQuit.count(), 1) << "quits by itself once the save landed";
    EXPECT_EQ(againShown.count(), 0) << "a save within the moment is never shown";
    EXPECT_EQ(library.sessions().size(), 1u);
}

TEST_F(QuitFixture, ASlowSaveIsShownAfterAMomentAndSurvivesTheQuit) {
    const TestSession session = save("SN-4411");
    wait.request(QuitWait::Asker::user);
    EXPECT_EQ(RorozErurEvo::PendingWrites::heading(wait.pending()), "Saving 1 session\u2026");
    after(QuitWait::quietSeconds - 0.1);
    EXPECT_EQ(shown.count(), 0);
    after(0.2);
    EXPECT_EQ(shown.count(), 1);
    EXPECT_TRUE(wait.showing());
    // However long the disk takes, a quit the user asked for waits for it until told otherwise.
    after(60);
    EXPECT_EQ(quit.count(), 0);
    EXPECT_FALSE(written(session));
    QSignalSpy changed(&wait, &QuitWait::pendingChanged);
    land();
    EXPECT_TRUE(written(session)) << "the session is on disk before the application quits";
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(quit.count(), 1);
    EXPECT_FALSE(wait.showing());
}

TEST_F(QuitFixture, QuitAnywayNamesWhatIsLostAndCancelGoesBackWithTheWritesGoingOn) {
    const TestSession kept = save("SN-1");
    wait.request(QuitWait::Asker::user);
    after(QuitWait::quietSeconds);
    wait.cancel();
    EXPECT_FALSE(wait.waiting());
    EXPECT_FALSE(wait.showing());
    land();
    EXPECT_TRUE(written(kept)) << "the writes go on after a cancel";
    EXPECT_EQ(quit.count(), 0) << "and their landing quits nothing";

    save("SN-4411");
    save("SN-4412", "");
    wait.request(QuitWait::Asker::user);
    after(QuitWait::quietSeconds);
    EXPECT_EQ(shown.count(), 2) << "asked again, it shows again";
    {
        // What is not written yet, not what is lost: the shutdown gives the writes a moment more.
        TestLog::ExpectedWarnings logged(
            "tessarine.model",
            QString::fromUtf8("Quit Anyway; not done yet: the session \u201CSN-4411, Before repair\u201D and the session "
                              "\u201CSN-4412, session\u201D."));
        wait.quitAnyway();
        EXPECT_EQ(logged.count(), 1);
    }
    EXPECT_EQ(quit.count(), 1);
    EXPECT_TRUE(wait.released());
    wait.request(QuitWait::Asker::user);
    EXPECT_EQ(quit.count(), 1) << "quitting is said once";
}

TEST_F(QuitFixture, ASignalWaitsForTheSaveWithoutAskingAndGivesUpAfterItsBound) {
    const TestSession session = save("SN-4411");
    wait.request(QuitWait::Asker::signal, "SIGTERM");
    after(2.5);
    EXPECT_EQ(shown.count(), 0) << "nobody is asked";
    land();
    EXPECT_TRUE(written(session)) << "a save 2.5 s slow survives the signal";
    EXPECT_EQ(quit.count(), 1);

    QuitWait stuck{library, clock, timers.factory()};
    QSignalSpy stuckQuit(&stuck, &QuitWait::quitNow);
    save("SN-9");
    stuck.request(QuitWait::Asker::signal, "SIGHUP");
    // The user's Cancel does not hold up the signal's quit.
    stuck.request(QuitWait::Asker::user);
    after(QuitWait::quietSeconds);
    stuck.cancel();
    after(QuitWait::signalSeconds - QuitWait::quietSeconds - 0.1);
    EXPECT_EQ(stuckQuit.count(), 0);
    // Not "loses": a write this slow may still land in the moment the shutdown gives it.
    TestLog::ExpectedWarnings logged("tessarine.model",
                                     QString::fromUtf8("Quitting on SIGHUP after 10 s without waiting further for the "
                                                       "session folder; not done yet: the session \u201CSN-9, Before repair\u201D."));
    after(0.1);
    EXPECT_EQ(stuckQuit.count(), 1);
    EXPECT_EQ(logged.count(), 1);
}

TEST_F(QuitFixture, DeletesAndTheErasingAreWaitedForAndNamedByTheSessionTheyTouch) {
    const TestSession session = save("SN-4411");
    land();
    library.removeInBackground(session.id);
    library.eraseAllInBackground();
    const std::vector<RorozErurEvo::PendingWrite> expected{
        {RorozErurEvo::PendingWrite::Kind::remove, "SN-4411, Before repair"}, {RorozErurEvo::PendingWrite::Kind::eraseAll, ""}};
    EXPECT_EQ(library.pending(), expected);
    wait.request(QuitWait::Asker::user);
    EXPECT_EQ(quit.count(), 0);
    land();
    EXPECT_TRUE(library.pending().empty());
    EXPECT_EQ(quit.count(), 1);
}
