// The session folder read on a real worker thread while the main thread saves: the saves are
// listed at once and kept exactly once when the folder's list lands; saves and deletes written on
// the worker land in the order they were asked for.
#include "app/model/SessionLibrary.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "app/model/BackgroundWorker.h"
#include "app/model/Services.h"
#include "support/ManualExecutor.h"

using namespace Tessarine;
using RorozErurEvo::SessionArchive;
using RorozErurEvo::TestSession;

namespace {

TestSession numbered(int n) {
    TestSession s;
    s.id = RorozErurEvo::Uuid::random();
    s.date = RorozErurEvo::Dates::fromSeconds(1.7e9 + 60.0 * n);
    s.unit = "SN-" + std::to_string(n);
    s.device.name = "Pad";
    return s;
}

// A folder written by an earlier launch, listed by a library whose load runs on a real worker.
struct SessionLibraryThreads : ::testing::Test {
    // Enough files that the reader shares them out over its own threads and is still at work
    // while the saves of a test run.
    static constexpr int onDisk = 128;
    static SessionArchive written(const QTemporaryDir& dir) {
        SessionArchive archive{(dir.path() + "/Sessions").toStdString()};
        for (int n = 0; n < onDisk; ++n) archive.save(numbered(n));
        return archive;
    }

    QTemporaryDir dir;
    SessionArchive archive = written(dir);
    SessionLibrary library{archive};
    std::shared_ptr<ManualExecutor> executor = std::make_shared<ManualExecutor>();
    BackgroundThreads worker; // joined first, before what its work lands in goes
};

} // namespace

TEST_F(SessionLibraryThreads, SavesRacingTheWorkerAreListedOnceWhenTheFolderLands) {
    library.loadInBackground(worker, executor);
    std::vector<TestSession> saved;
    for (int n = onDisk; n < onDisk + 20; ++n) {
        saved.push_back(numbered(n));
        ASSERT_TRUE(library.save(saved.back()));
    }
    ASSERT_TRUE(library.remove(saved.front().id));
    EXPECT_TRUE(library.loading());
    EXPECT_EQ(library.sessions().size(), 19u);

    worker.wait();
    EXPECT_EQ(executor->runAll(), 1);
    EXPECT_FALSE(library.loading());
    const auto& list = library.sessions();
    EXPECT_EQ(list.size(), std::size_t(onDisk + 19));
    std::set<RorozErurEvo::Uuid> ids;
    for (const auto& s : list) ids.insert(s.id);
    EXPECT_EQ(ids.size(), list.size()) << "no session listed twice";
    EXPECT_FALSE(ids.contains(saved.front().id)) << "the deleted session stays deleted";
    EXPECT_TRUE(std::is_sorted(list.begin(), list.end(), [](auto& a, auto& b) { return a.date > b.date; }));
}

TEST_F(SessionLibraryThreads, BackgroundSavesAndDeletesRacingTheLoadLandInTheOrderAsked) {
    library.useBackground(worker, executor);

    // The folder is read on one thread while the saves and deletes are written on another, in
    // the order asked; each lands when the main thread runs its queue.
    library.loadInBackground(worker, executor);
    std::vector<TestSession> saved;
    std::vector<std::string> heard;
    for (int n = onDisk; n < onDisk + 20; ++n) {
        saved.push_back(numbered(n));
        library.saveInBackground(saved.back(), [&heard, n](const std::optional<std::string>& error) {
            heard.push_back((error ? "failed " : "saved ") + std::to_string(n));
        });
    }
    library.removeInBackground(saved.front().id, [&heard](const std::optional<std::string>& error) {
        heard.push_back(error ? "failed delete" : "deleted");
    });
    worker.wait();
    executor->runAll();
    ASSERT_EQ(heard.size(), 21u);
    for (int i = 0; i < 20; ++i) EXPECT_EQ(heard[static_cast<std::size_t>(i)], "saved " + std::to_string(onDisk + i));
    EXPECT_EQ(heard.back(), "deleted");
    EXPECT_FALSE(library.loading());
    std::set<RorozErurEvo::Uuid> ids;
    for (const auto& s : library.sessions()) ids.insert(s.id);
    EXPECT_EQ(ids.size(), std::size_t(onDisk + 19)) << "every session listed once";
    EXPECT_FALSE(ids.contains(saved.front().id));
    EXPECT_FALSE(std::filesystem::exists(archive.url(saved.front().id)));
}
