// The session folder read on a real worker thread while the main thread saves: the saves are
// listed at once and kept exactly once when the folder's list lands.
#include "app/model/SessionLibrary.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <set>

#include "app/model/BackgroundWorker.h"
#include "app/model/Services.h"

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

} // namespace

TEST(SessionLibraryThreads, SavesRacingTheWorkerAreListedOnceWhenTheFolderLands) {
    QTemporaryDir dir;
    SessionArchive archive{(dir.path() + "/Sessions").toStdString()};
    // Enough files that the reader shares them out over its own threads and is still at work
    // while the saves below run.
    constexpr int onDisk = 128;
    for (int n = 0; n < onDisk; ++n) archive.save(numbered(n));
    SessionLibrary library(archive);
    auto executor = std::make_shared<ManualExecutor>();
    ThreadWorker worker;

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
