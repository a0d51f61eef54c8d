// The session folder read in the background: the list lands in one call on the main thread, says
// it is loading until then, and keeps what was saved or deleted meanwhile exactly once.
#include "app/model/SessionLibrary.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "app/model/BackgroundWorker.h"
#include "support/HeldWorker.h"
#include "app/model/Services.h"
#include "support/TestLog.h"
#include "support/ManualExecutor.h"

using namespace Tessarine;
using RorozErurEvo::SessionArchive;
using RorozErurEvo::TestSession;

namespace {

TestSession dated(const char* iso, std::string unit, std::string label = {}) {
    TestSession s;
    s.id = RorozErurEvo::Uuid::random();
    s.date = *RorozErurEvo::Dates::parseIso(iso);
    s.unit = std::move(unit);
    s.label = std::move(label);
    s.device.name = "Pad";
    return s;
}

std::vector<std::string> listed(const SessionLibrary& library) {
    std::vector<std::string> out;
    for (const auto& s : library.sessions()) out.push_back(s.unit + (s.label.empty() ? "" : " " + s.label));
    return out;
}

struct LoadingFixture : ::testing::Test {
    QTemporaryDir dir;
    SessionArchive archive{(dir.path() + "/Sessions").toStdString()};
    SessionLibrary library{archive};
    std::shared_ptr<ManualExecutor> executor = std::make_shared<ManualExecutor>();
    int loadingChanges = 0;
    int listChanges = 0;

    LoadingFixture() {
        QObject::connect(&library, &SessionLibrary::loadingChanged, [this] { ++loadingChanges; });
        QObject::connect(&library, &SessionLibrary::sessionsChanged, [this] { ++listChanges; });
    }
    // On disk only, as a session from an earlier launch.
    TestSession onDisk(const char* iso, std::string unit) {
        auto s = dated(iso, std::move(unit));
        archive.save(s);
        return s;
    }
};

} // namespace

TEST_F(LoadingFixture, TheListLandsInOneQueuedCallAndSaysLoadingUntilThen) {
    onDisk("2026-03-01T10:00:00Z", "A");
    onDisk("2026-03-03T10:00:00Z", "C");
    onDisk("2026-03-02T10:00:00Z", "B");
    QFile broken(QString::fromStdString((archive.folder / "broken.json").string()));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("{\"id\": ");
    broken.close();
    int skippedChanges = 0;
    QObject::connect(&library, &SessionLibrary::skippedChanged, [&] { ++skippedChanges; });

    InlineWorker worker;
    library.loadInBackground(worker, executor);
    EXPECT_TRUE(library.loading());
    EXPECT_EQ(loadingChanges, 1);
    EXPECT_TRUE(library.sessions().empty()) << "read, but not landed: the main thread has not run it";
    EXPECT_TRUE(library.skipped().empty());
    EXPECT_EQ(executor->pending(), 1);

    TestLog::ExpectedWarnings logged("tessarine.model", "skipped the session file broken.json");
    EXPECT_EQ(executor->runAll(), 1) << "one call lands everything";
    EXPECT_FALSE(library.loading());
    EXPECT_EQ(listed(library), (std::vector<std::string>{"C", "B", "A"}));
    EXPECT_EQ(listChanges, 1);
    EXPECT_EQ(loadingChanges, 2);
    ASSERT_EQ(library.skipped().size(), 1u) << "the files that could not be read are still reported";
    EXPECT_EQ(library.skipped()[0].name, "broken.json");
    EXPECT_EQ(skippedChanges, 1);
    EXPECT_EQ(logged.count(), 1);

    // An empty folder lands too: loading ends although the list stays as it was.
    QTemporaryDir emptyDir;
    SessionLibrary empty(SessionArchive{(emptyDir.path() + "/Sessions").toStdString()});
    empty.loadInBackground(worker, executor);
    EXPECT_TRUE(empty.loading());
    executor->runAll();
    EXPECT_FALSE(empty.loading());
    // Without an archive there is nothing to load and nothing to wait for.
    SessionLibrary memory;
    memory.loadInBackground(worker, executor);
    EXPECT_FALSE(memory.loading());
    EXPECT_EQ(executor->pending(), 0);
}

TEST_F(LoadingFixture, SavesAndDeletesWhileLoadingAreKeptExactlyOnce) {
    // Whether the folder is read before the saves and deletes or after them, the list that
    // lands holds each session once, as last saved, and nothing that was deleted.
    for (bool readFirst : {true, false}) {
        SCOPED_TRACE(readFirst ? "read before the saves" : "read after the saves");
        QTemporaryDir here;
        SessionArchive folder{(here.path() + "/Sessions").toStdString()};
        SessionLibrary lib(folder);
        auto gone = dated("2026-03-01T10:00:00Z", "A");
        auto edited = dated("2026-03-02T10:00:00Z", "B");
        folder.save(gone);
        folder.save(edited);
        folder.save(dated("2026-03-03T10:00:00Z", "C"));

        HeldWorker worker;
        lib.loadInBackground(worker, executor);
        if (readFirst) worker.release();
        ASSERT_TRUE(lib.save(dated("2026-03-04T10:00:00Z", "D")));
        edited.label = "edited";
        ASSERT_TRUE(lib.save(edited));
        ASSERT_TRUE(lib.remove(gone.id));
        EXPECT_EQ(listed(lib), (std::vector<std::string>{"D", "B edited"})) << "listed at once, before the load";
        EXPECT_TRUE(lib.loading());
        if (!readFirst) worker.release();

        EXPECT_EQ(executor->runAll(), 1);
        EXPECT_FALSE(lib.loading());
        EXPECT_EQ(listed(lib), (std::vector<std::string>{"D", "C", "B edited"}));
        EXPECT_EQ(listed(lib), [&] {
            SessionLibrary fresh(folder);
            fresh.load();
            return listed(fresh);
        }()) << "the list is what the next launch will load";
    }
}

TEST_F(LoadingFixture, AnEraseOrAFreshLoadDropsTheLoadOnItsWay) {
    onDisk("2026-03-01T10:00:00Z", "A");
    InlineWorker worker;
    library.loadInBackground(worker, executor); // has read A
    ASSERT_TRUE(library.eraseAll());
    EXPECT_FALSE(library.loading()) << "nothing left to wait for";
    EXPECT_EQ(loadingChanges, 2);
    ASSERT_TRUE(library.save(dated("2026-03-02T10:00:00Z", "B")));
    executor->runAll();
    EXPECT_EQ(listed(library), std::vector<std::string>{"B"}) << "the erased session does not come back";

    onDisk("2026-03-03T10:00:00Z", "C");
    library.loadInBackground(worker, executor);
    library.load(); // reads the folder now: the background result is stale when it comes
    EXPECT_FALSE(library.loading());
    EXPECT_EQ(listed(library), (std::vector<std::string>{"C", "B"}));
    onDisk("2026-03-04T10:00:00Z", "D");
    executor->runAll();
    EXPECT_EQ(listed(library), (std::vector<std::string>{"C", "B"})) << "the superseded load lands nothing";
}

TEST_F(LoadingFixture, ALibraryGoneBeforeTheLoadLandsTakesNothing) {
    onDisk("2026-03-01T10:00:00Z", "A");
    InlineWorker worker;
    {
        SessionLibrary shortLived(archive);
        shortLived.loadInBackground(worker, executor);
    }
    EXPECT_EQ(executor->runAll(), 1); // finds the library gone and does nothing
}
