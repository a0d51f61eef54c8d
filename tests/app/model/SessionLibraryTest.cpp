#include "app/model/SessionLibrary.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "support/TestLog.h"

using namespace Tessarine;
using RorozErurEvo::SessionArchive;
using RorozErurEvo::TestSession;

namespace {

TestSession session(const char* iso, std::string unit = "SN-1") {
    TestSession s;
    s.id = RorozErurEvo::Uuid::random();
    s.date = *RorozErurEvo::Dates::parseIso(iso);
    s.unit = std::move(unit);
    s.device.name = "Pad";
    return s;
}

template <class Listed> std::vector<std::string> units(const std::vector<Listed>& list) {
    std::vector<std::string> out;
    for (const auto& s : list) out.push_back(s.unit);
    return out;
}

struct Folder {
    QTemporaryDir dir;
    std::string sessions() const { return (dir.path() + "/Sessions").toStdString(); }
    // A regular file where the folder should be: writing and removing fail, whoever we are.
    void block() const {
        QFile file(QString::fromStdString(sessions()));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
};

} // namespace

TEST(SessionLibrary, SavingReplacesByIdAndKeepsTheNewestFirst) {
    Folder folder;
    SessionLibrary library(SessionArchive{folder.sessions()});
    auto a = session("2026-03-01T10:00:00Z", "A");
    auto b = session("2026-03-02T10:00:00Z", "B");
    auto c = session("2026-02-01T10:00:00Z", "C");
    library.save(a);
    library.save(b);
    library.save(c);
    EXPECT_EQ(units(library.sessions()), (std::vector<std::string>{"B", "A", "C"})) << "an older one goes last";

    a.date = *RorozErurEvo::Dates::parseIso("2026-03-05T10:00:00Z");
    a.notes = "edited";
    EXPECT_TRUE(library.save(a));
    EXPECT_EQ(units(library.sessions()), (std::vector<std::string>{"A", "B", "C"}));
    ASSERT_NE(library.session(a.id), nullptr);
    ASSERT_NE(library.atHand(a.id), nullptr) << "a saved session stays at hand";
    EXPECT_EQ(library.atHand(a.id)->notes, "edited");
    EXPECT_EQ(SessionArchive{folder.sessions()}.loadAll().size(), 3u);
    EXPECT_EQ(library.sessions("B").size(), 1u);
    EXPECT_TRUE(library.sessions("nobody").empty());
}

TEST(SessionLibrary, AFailedSaveKeepsTheListAndTheNextSuccessClearsTheError) {
    Folder folder;
    folder.block();
    SessionLibrary library(SessionArchive{folder.sessions()});
    int errors = 0;
    QObject::connect(&library, &SessionLibrary::lastErrorChanged, [&] { ++errors; });

    {
        TestLog::ExpectedWarnings failed("tessarine.model", "Couldn't save the session ");
        EXPECT_FALSE(library.save(session("2026-03-01T10:00:00Z")));
        EXPECT_EQ(failed.count(), 1) << "the log has it with its cause";
    }
    EXPECT_TRUE(library.sessions().empty());
    ASSERT_TRUE(library.lastError());
    EXPECT_TRUE(library.lastError()->starts_with("Couldn't save the session: ")) << *library.lastError();

    QFile::remove(QString::fromStdString(folder.sessions()));
    EXPECT_TRUE(library.save(session("2026-03-01T10:00:00Z")));
    EXPECT_EQ(library.lastError(), std::nullopt);
    EXPECT_EQ(library.sessions().size(), 1u);
    EXPECT_EQ(errors, 2);
}

TEST(SessionLibrary, AFailedDeleteKeepsTheSessionAndSaysWhy) {
    Folder folder;
    SessionLibrary library(SessionArchive{folder.sessions()});
    auto kept = session("2026-03-01T10:00:00Z");
    library.save(kept);
    library.save(session("2026-03-02T10:00:00Z"));

    // Swap the folder for a file so that removing the session's file fails.
    QDir(QString::fromStdString(folder.sessions())).removeRecursively();
    folder.block();
    TestLog::ExpectedWarnings failed("tessarine.model", "Couldn't delete the session ");
    EXPECT_FALSE(library.remove(kept.id));
    EXPECT_EQ(failed.count(), 1);
    EXPECT_NE(library.session(kept.id), nullptr) << "the file is still there: so is the entry";
    ASSERT_TRUE(library.lastError());
    EXPECT_TRUE(library.lastError()->starts_with("Couldn't delete the session: ")) << *library.lastError();

    QFile::remove(QString::fromStdString(folder.sessions()));
    EXPECT_TRUE(library.remove(kept.id));
    EXPECT_EQ(library.session(kept.id), nullptr);
    EXPECT_EQ(library.lastError(), std::nullopt);
    EXPECT_TRUE(library.remove(RorozErurEvo::Uuid::random())) << "an unknown id changes nothing";
    EXPECT_EQ(library.sessions().size(), 1u);
}

TEST(SessionLibrary, WithoutAnArchiveEverythingStaysInMemory) {
    SessionLibrary library;
    int changes = 0;
    QObject::connect(&library, &SessionLibrary::sessionsChanged, [&] { ++changes; });
    auto s = session("2026-03-01T10:00:00Z");
    EXPECT_TRUE(library.save(s));
    EXPECT_TRUE(library.remove(s.id));
    EXPECT_TRUE(library.sessions().empty());
    EXPECT_EQ(library.lastError(), std::nullopt);
    library.setSessions({});
    EXPECT_EQ(changes, 2) << "assigning an equal list is silent";
}

TEST(SessionLibrary, LoadingNamesTheFilesItCouldNotReadAndErasingForgetsThem) {
    Folder folder;
    SessionLibrary library(SessionArchive{folder.sessions()});
    library.save(session("2026-03-01T10:00:00Z", "A"));
    QFile bad(QString::fromStdString(folder.sessions()) + "/broken.json");
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("{\"id\": ");
    bad.close();

    int changes = 0;
    QObject::connect(&library, &SessionLibrary::skippedChanged, [&] { ++changes; });
    TestLog::ExpectedWarnings logged("tessarine.model", "skipped the session file broken.json");
    library.load();
    EXPECT_EQ(logged.count(), 1);
    EXPECT_EQ(units(library.sessions()), std::vector<std::string>{"A"});
    ASSERT_EQ(library.skipped().size(), 1u);
    EXPECT_EQ(library.skipped()[0].name, "broken.json");
    EXPECT_FALSE(library.skipped()[0].cause.empty());
    library.load();
    EXPECT_EQ(changes, 1) << "the same files skipped again are no change";

    EXPECT_TRUE(library.eraseAll());
    EXPECT_TRUE(library.skipped().empty());
    EXPECT_EQ(changes, 2);
}
