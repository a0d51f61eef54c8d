// The window's saves, deletes and exports touch the session folder only on the worker: the list
// changes once the file work lands on the main thread, in the order it was asked for, and an
// export reads the listed sessions one at a time, each from its file when its turn comes.
#include "app/model/SessionLibrary.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>

#include "app/model/Services.h"
#include "support/ChangedSessionFiles.h"
#include "support/HeldWorker.h"
#include "support/TestLog.h"
#include "testkit/SessionSamples.h"
#include "support/ManualExecutor.h"

using namespace Tessarine;
using RorozErurEvo::SessionArchive;
using RorozErurEvo::TestSession;
namespace Samples = RorozErurEvo::Samples;
namespace fs = std::filesystem;

namespace {

struct WritesFixture : ::testing::Test {
    QTemporaryDir dir;
    SessionArchive archive{(dir.path() + "/Sessions").toStdString()};
    HeldWorker worker;
    std::shared_ptr<ManualExecutor> executor = std::make_shared<ManualExecutor>();
    std::unique_ptr<SessionLibrary> library = std::make_unique<SessionLibrary>(archive);
    std::vector<std::string> heard; // what each background form told, in order

    WritesFixture() { library->useBackground(worker, executor); }

    SessionLibrary::Done note(const std::string& what) {
        return [this, what](const std::optional<std::string>& error) { heard.push_back(what + (error ? ": " + *error : "")); };
    }
    std::vector<std::string> listedUnits() const {
        std::vector<std::string> units;
        for (const auto& s : library->sessions()) units.push_back(s.unit);
        return units;
    }
    std::size_t files() const {
        std::error_code error;
        if (!fs::exists(archive.folder, error)) return 0;
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(archive.folder), {}));
    }
};

} // namespace

TEST_F(WritesFixture, SavesAndDeletesAreWrittenByTheWorkerAndLandInTheOrderAsked) {
    const TestSession a = Samples::session("A", "2026-03-01T09:00:00Z");
    const TestSession b = Samples::session("B", "2026-03-02T09:00:00Z");
    library->saveInBackground(a, note("saved A"));
    library->saveInBackground(b, note("saved B"));
    library->removeInBackground(a.id, note("deleted A"));
    EXPECT_EQ(worker.held.size(), 3u);
    EXPECT_EQ(files(), 0u) << "nothing is written on the main thread";
    EXPECT_TRUE(library->sessions().empty());

    worker.release();
    EXPECT_EQ(files(), 1u);
    EXPECT_TRUE(library->sessions().empty()) << "listed once the work lands on the main thread";
    executor->runAll();
    EXPECT_EQ(listedUnits(), std::vector<std::string>{"B"});
    EXPECT_EQ(heard, (std::vector<std::string>{"saved A", "saved B", "deleted A"}));
    EXPECT_EQ(library->lastError(), std::nullopt);
}

TEST_F(WritesFixture, AFailedWriteTellsWhyWithTheListUnchanged) {
    const TestSession a = Samples::session("A", "2026-03-01T09:00:00Z");
    library->saveInBackground(a, note("saved A"));
    worker.release();
    executor->runAll();
    // A file where the folder should be: nothing can be saved there, and the folder cannot be erased.
    fs::remove_all(archive.folder);
    QFile blocker(QString::fromStdString(archive.folder.string()));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    library->saveInBackground(Samples::session("B", "2026-03-02T09:00:00Z"), note("saved B"));
    {
        // The log has it where it fails, on the worker, before anything lands: so a save that
        // fails while the application quits, when nothing lands any more, is logged too.
        TestLog::ExpectedWarnings failed("tessarine.model", QString::fromUtf8("Couldn't save the session \u201CB, session\u201D: "));
        TestLog::CapturedMessages log("tessarine.model");
        worker.release();
        ASSERT_EQ(failed.count(), 1);
        executor->runAll();
        ASSERT_TRUE(library->lastError());
        const std::string cause = library->lastError()->substr(std::string("Couldn't save the session: ").size());
        EXPECT_FALSE(cause.empty());
        EXPECT_EQ(log.messages().back(), QString::fromUtf8("Couldn't save the session \u201CB, session\u201D: ") +
                                             QString::fromStdString(cause));
    }
    EXPECT_TRUE(library->lastError()->starts_with("Couldn't save the session: ")) << *library->lastError();
    EXPECT_EQ(heard.back(), "saved B: " + *library->lastError());
    EXPECT_EQ(listedUnits(), std::vector<std::string>{"A"});

    // A later save that works clears the error.
    fs::remove(archive.folder);
    library->saveInBackground(Samples::session("C", "2026-03-03T09:00:00Z"), note("saved C"));
    worker.release();
    executor->runAll();
    EXPECT_EQ(library->lastError(), std::nullopt);
    EXPECT_EQ(listedUnits(), (std::vector<std::string>{"C", "A"}));
}

TEST_F(WritesFixture, WorkLandingAfterTheLibraryIsGoneLandsNothing) {
    library->saveInBackground(Samples::session("A", "2026-03-01T09:00:00Z"), note("saved A"));
    library->eraseAllInBackground(note("erased"));
    worker.release();
    library.reset();
    executor->runAll();
    EXPECT_TRUE(heard.empty());
}

TEST_F(WritesFixture, ListedSessionsAreReadOneAtATimeAndAChangedFileIsNamed) {
    std::vector<TestSession> saved;
    for (int i = 0; i < 4; ++i) {
        saved.push_back(Samples::session("U" + std::to_string(i), "2026-03-01T09:00:00Z"));
        saved.back().date = RorozErurEvo::Dates::fromSeconds(1.7e9 + i);
        saved.back().device.name = "U" + std::to_string(i); // what names the session in a problem
        archive.save(saved.back());
    }
    library->load();
    // Opened (and so at hand) before the export is asked for: taken as it is, not read again.
    std::optional<SessionLibrary::Opened> opened;
    library->open({*library->session(saved[3].id)}, [&](SessionLibrary::Opened o) { opened = std::move(o); });
    worker.release();
    executor->runAll();
    ASSERT_TRUE(opened && opened->problem.empty());

    auto listed = library->listed(library->sessions()); // newest first: U3, U2, U1, U0
    ASSERT_EQ(listed.size(), 4u);
    fs::remove(archive.url(saved[3].id));
    ChangedSessionFiles::change(archive, saved[0].id, saved[1].id, saved[2].id);
    auto first = listed.read(0);
    ASSERT_TRUE(first.session) << "at hand: its file is not needed";
    EXPECT_EQ(*first.session, saved[3]);
    TestLog::ExpectedWarnings logged("tessarine.model", "could not read the session file");
    const auto truncated = listed.read(1);
    EXPECT_FALSE(truncated.session);
    EXPECT_TRUE(truncated.problem.starts_with("U2: ")) << truncated.problem;
    const auto replaced = listed.read(2);
    EXPECT_EQ(replaced.problem, "U1: its file was replaced after the history was listed");
    const auto deleted = listed.read(3);
    EXPECT_EQ(deleted.problem, "U0: its file was deleted after the history was listed");
    EXPECT_EQ(logged.count(), 3);
}
