#include "testkit/SessionArchive.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <fstream>
#include <map>
#include <thread>

#include "SessionSamples.h"

using namespace RorozErurEvo;
using namespace RorozErurEvo::Samples;
namespace fs = std::filesystem;

namespace {

class ArchiveFolder : public ::testing::Test {
protected:
    fs::path root = fs::temp_directory_path() /
                    ("tessarine-archive-" + std::to_string(::getpid()) + "-" + Uuid::random().text());
    SessionArchive archive{root / "Application Support" / "Sessions"};

    void TearDown() override { fs::remove_all(root); }

    void writeFile(const std::string& name, const std::string& text) const {
        fs::create_directories(archive.folder);
        std::ofstream(archive.folder / name, std::ios::binary) << text;
    }
    std::vector<std::string> fileNames() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(archive.folder)) names.push_back(entry.path().filename());
        std::sort(names.begin(), names.end());
        return names;
    }
};

std::vector<Uuid> ids(const std::vector<TestSession>& sessions) {
    std::vector<Uuid> result;
    for (const auto& s : sessions) result.push_back(s.id);
    return result;
}

} // namespace

TEST_F(ArchiveFolder, MissingFolderIsEmptyAndIsCreatedOnSave) {
    const auto missing = archive.load();
    EXPECT_TRUE(missing.sessions.empty());
    EXPECT_TRUE(missing.skipped.empty()) << "a folder not made yet is no failure";
    EXPECT_NO_THROW(archive.remove(Uuid::random()));
    EXPECT_NO_THROW(archive.eraseAll());

    auto s = session("U1", "2026-03-01T09:00:00Z", {result(TestKind::drift, "Left stick", Verdict::warn)});
    archive.save(s);
    EXPECT_EQ(fileNames(), std::vector<std::string>{s.id.text() + ".json"});
    EXPECT_EQ(archive.loadAll(), std::vector<TestSession>{s});

    archive.eraseAll();
    EXPECT_FALSE(fs::exists(archive.folder));
    EXPECT_TRUE(archive.loadAll().empty());
    archive.save(s);
    EXPECT_EQ(fileNames().size(), 1u);
}

// A missing folder is a first launch; a folder that is there but cannot be listed would hide
// every session in it, so it is named with its cause among the files that could not be read.
TEST_F(ArchiveFolder, AFolderThatCannotBeListedIsReportedNotTakenForAnEmptyHistory) {
    fs::create_directories(archive.folder.parent_path());
    std::ofstream(archive.folder, std::ios::binary) << "not a folder";
    const auto loaded = archive.load();
    EXPECT_TRUE(loaded.sessions.empty());
    ASSERT_EQ(loaded.skipped.size(), 1u);
    EXPECT_EQ(loaded.skipped[0].name, archive.folder.string());
    EXPECT_EQ(loaded.skipped[0].cause.rfind("the folder could not be read: ", 0), 0u) << loaded.skipped[0].cause;
    EXPECT_GT(loaded.skipped[0].cause.size(), std::string_view("the folder could not be read: ").size());
    EXPECT_TRUE(loaded.skipped[0].folder);

    // A link to a folder that is gone (an unmounted drive) is no first launch either.
    fs::remove(archive.folder);
    fs::create_symlink(root / "unmounted" / "Sessions", archive.folder);
    const auto dangling = archive.load();
    ASSERT_EQ(dangling.skipped.size(), 1u);
    EXPECT_EQ(dangling.skipped[0], (SkippedFile{archive.folder.string(), "the folder it links to is missing", true}));
}

TEST_F(ArchiveFolder, SavingAgainReplacesTheFileWhole) {
    auto s = session("U1", "2026-03-01T09:00:00Z");
    archive.save(s);
    s.notes = "second";
    archive.save(s);
    EXPECT_EQ(fileNames(), std::vector<std::string>{s.id.text() + ".json"}); // no temporary left behind
    auto loaded = archive.loadAll();
    ASSERT_EQ(loaded.size(), 1u);
    EXPECT_EQ(loaded[0].notes, "second");
}

TEST_F(ArchiveFolder, LoadsNewestFirstAndRemovesOnlyTheNamedFile) {
    auto nine = session("A", "2026-03-01T09:00:00Z"), eleven = session("B", "2026-03-01T11:00:00Z"),
         ten = session("C", "2026-03-01T10:00:00Z");
    for (const auto& s : {nine, eleven, ten}) archive.save(s);
    EXPECT_EQ(ids(archive.loadAll()), (std::vector<Uuid>{eleven.id, ten.id, nine.id}));

    // A copy under another name loads too, and deleting the session leaves the copy alone.
    fs::copy_file(archive.url(ten.id), archive.folder / "copy.json");
    EXPECT_EQ(ids(archive.loadAll()), (std::vector<Uuid>{eleven.id, ten.id, ten.id, nine.id}));
    archive.remove(ten.id);
    EXPECT_EQ(ids(archive.loadAll()), (std::vector<Uuid>{eleven.id, ten.id, nine.id}));
    EXPECT_TRUE(fs::exists(archive.folder / "copy.json"));
}

// The folder takes a session file under any name (a copy, a rename): the listing opens the file
// it listed, not the one the session's id would name.
TEST_F(ArchiveFolder, ASessionListedUnderAnotherNameOpensFromThatFile) {
    auto s = session("A", "2026-03-01T09:00:00Z");
    archive.save(s);
    fs::rename(archive.url(s.id), archive.folder / "renamed.json");
    const auto listed = archive.loadSummaries().summaries;
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_TRUE(listed[0].describes(s));
    const auto opened = archive.open(listed[0]);
    EXPECT_EQ(opened.problem, "");
    ASSERT_TRUE(opened.session);
    EXPECT_EQ(*opened.session, s);
}

TEST_F(ArchiveFolder, SkipsEveryFileThatIsNotAReadableSession) {
    auto good = session("U", "2026-03-01T09:00:00Z", {result(TestKind::trigger, "Right trigger", Verdict::pass)});
    archive.save(good);
    std::string text = SessionCoder::encode(good);

    writeFile("UPPER.JSON", text);
    writeFile("._" + good.id.text() + ".json", text);
    writeFile("notes.txt", text);
    writeFile("truncated.json", text.substr(0, text.size() / 2));
    writeFile("empty.json", "");
    writeFile("binary.json", std::string("\0\xff\xfe{\x01\"", 6));
    writeFile("array.json", "[1, 2, 3]");
    writeFile("typed.json", "{\"id\": 5, \"date\": 1, \"device\": \"pad\"}");
    writeFile("nested.json", std::string(100000, '[') + std::string(100000, ']'));
    writeFile("latin1.json", "{\"id\": \"\xe9\"}");
    fs::create_directories(archive.folder / "folder.json");
    ASSERT_EQ(::mkfifo((archive.folder / "pipe.json").c_str(), 0600), 0); // would block a plain read
    {
        // Far bigger than any session; sparse, so it costs no disk.
        std::ofstream huge(archive.folder / "huge.json");
        huge << text;
    }
    fs::resize_file(archive.folder / "huge.json", 4ull << 30);
    // Broken only where a listing does not look: in a result's measures.
    auto deep = good;
    deep.id = Uuid::random();
    deep.results[0].measures = {percent("offset", 0.05)};
    auto deepJson = deep.toJson();
    deepJson["results"][0]["measures"][0]["value"] = "5";
    writeFile("deep.json", deepJson.dump());

    const auto loaded = archive.load();
    EXPECT_EQ(ids(loaded.sessions), std::vector<Uuid>{good.id});
    EXPECT_EQ(fileNames().size(), 15u); // nothing was moved or deleted
    // The listing's summaries pass over the very same files, for the same causes.
    const auto summaries = archive.loadSummaries();
    EXPECT_EQ(summaries.summaries, std::vector<SessionSummary>{SessionSummary::of(good)});
    EXPECT_EQ(summaries.skipped, loaded.skipped);

    // Each session file passed over is named with its cause, in name order; files that are not
    // named as sessions are nobody's concern.
    std::vector<std::string> names;
    std::map<std::string, std::string> causes;
    for (const auto& file : loaded.skipped) {
        names.push_back(file.name);
        causes[file.name] = file.cause;
        EXPECT_FALSE(file.cause.empty()) << file.name;
    }
    EXPECT_EQ(names, (std::vector<std::string>{"array.json", "binary.json", "deep.json", "empty.json", "folder.json", "huge.json",
                                               "latin1.json", "nested.json", "pipe.json", "truncated.json",
                                               "typed.json"}));
    EXPECT_EQ(causes["pipe.json"], "not a regular file");
    EXPECT_EQ(causes["folder.json"], "not a regular file");
    EXPECT_EQ(causes["huge.json"], "larger than 32 MB");
}

TEST_F(ArchiveFolder, UnwritableSessionsAndFailuresAreReportedNotHidden) {
    auto s = session("U", "2026-03-01T09:00:00Z", {result(TestKind::drift, "L", Verdict::pass, {percent("offset", NAN)})});
    EXPECT_THROW(archive.save(s), EncodingError);
    EXPECT_FALSE(fs::exists(archive.folder) && !fs::is_empty(archive.folder));

    // A folder that cannot be made: its parent is a file.
    fs::create_directories(root);
    std::ofstream(root / "file") << "x";
    SessionArchive blocked{root / "file" / "Sessions"};
    s.results.clear();
    try {
        blocked.save(s);
        FAIL() << "save into an impossible folder succeeded";
    } catch (const ArchiveError& error) {
        EXPECT_NE(std::string(error.what()).find((root / "file" / "Sessions").string()), std::string::npos);
    }
    EXPECT_TRUE(blocked.loadAll().empty());

    // The kernel's own files cannot be removed, not even by root.
    EXPECT_THROW(SessionArchive{"/proc/version"}.eraseAll(), ArchiveError);
}

TEST_F(ArchiveFolder, LeftoverTemporaryFilesAreNeverLoaded) {
    auto s = session("U", "2026-03-01T09:00:00Z");
    archive.save(s);
    std::string text = SessionCoder::encode(s);
    // What a crash between writing and renaming leaves behind: a partial temporary file.
    writeFile("." + s.id.text() + ".json." + Uuid::random().text() + ".tmp", text.substr(0, 40));
    writeFile("." + s.id.text() + ".json." + Uuid::random().text() + ".tmp", text);
    EXPECT_EQ(archive.loadAll(), std::vector<TestSession>{s});
}

TEST_F(ArchiveFolder, LoadingRemovesTemporaryFilesThatInterruptedSavesLeftBehind) {
    auto s = session("U", "2026-03-01T09:00:00Z");
    archive.save(s);
    auto temporary = [&] { return "." + s.id.text() + ".json." + Uuid::random().text() + ".tmp"; };
    const std::string stale1 = temporary(), stale2 = temporary(), fresh = temporary();
    // Named like ours but not ours, or not a file: left alone whatever their age.
    const std::string foreign1 = "." + s.id.text() + ".json.backup.tmp", foreign2 = ".notes.tmp";
    const std::string folderNamedLikeOurs = temporary();
    for (const auto& name : {stale1, stale2, fresh, foreign1, foreign2}) writeFile(name, "{");
    fs::create_directory(archive.folder / folderNamedLikeOurs);
    const auto hourAgo = fs::file_time_type::clock::now() - std::chrono::hours(1);
    for (const auto& name : {stale1, stale2, foreign1, foreign2, folderNamedLikeOurs})
        fs::last_write_time(archive.folder / name, hourAgo);

    EXPECT_EQ(archive.loadAll(), std::vector<TestSession>{s});
    std::vector<std::string> kept{s.id.text() + ".json", fresh, foreign1, foreign2, folderNamedLikeOurs};
    std::sort(kept.begin(), kept.end());
    EXPECT_EQ(fileNames(), kept);
}

TEST_F(ArchiveFolder, KillingASaveMidwayNeverLeavesATornFile) {
    // Two versions of one session, big enough that writing one takes a while.
    auto first = session("U", "2026-03-01T09:00:00Z");
    for (int i = 0; i < 400; ++i)
        first.results.push_back(result(TestKind::circularity, "Stick " + std::to_string(i), Verdict::pass,
                                       {percent("error", 0.01 * i)}, std::string(200, 'a')));
    auto second = first;
    second.notes = "second";
    for (auto& r : second.results) r.headline = std::string(200, 'b');
    archive.save(first);

    for (int round = 0; round < 12; ++round) {
        pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            try {
                for (int i = 0;; ++i) archive.save(i % 2 ? first : second);
            } catch (...) {
                ::_exit(1);
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(3 + 7 * round));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the saving child stopped on its own";

        auto loaded = archive.loadAll();
        ASSERT_EQ(loaded.size(), 1u) << "round " << round;
        EXPECT_TRUE(loaded[0] == first || loaded[0] == second) << "round " << round;
    }
}

// Big folders are decoded on several threads; the outcome must not depend on it.
TEST(SessionArchiveThreads, ManyFilesLoadInDateOrderWithListingOrderForTies) {
    fs::path folder = fs::temp_directory_path() / ("tessarine-archive-threads-" + Uuid::random().text());
    SessionArchive archive{folder};
    std::vector<TestSession> saved;
    for (int i = 0; i < 300; ++i) {
        // Every third session shares its date with the previous one.
        auto s = session("U" + std::to_string(i), "2026-03-01T09:00:00Z");
        s.date += std::chrono::seconds(i - i / 3);
        saved.push_back(s);
        archive.save(s);
    }
    for (int i = 0; i < 40; ++i) std::ofstream(folder / ("bad" + std::to_string(i) + ".json")) << "{";

    std::vector<Uuid> listing; // the order the folder lists its files in decides ties
    for (const auto& entry : fs::directory_iterator(folder))
        if (auto id = Uuid::parse(entry.path().stem().string())) listing.push_back(*id);
    auto rank = [&](const Uuid& id) { return std::find(listing.begin(), listing.end(), id) - listing.begin(); };
    std::stable_sort(saved.begin(), saved.end(), [&](const TestSession& a, const TestSession& b) {
        return a.date != b.date ? a.date > b.date : rank(a.id) < rank(b.id);
    });

    EXPECT_EQ(archive.loadAll(), saved);
    std::vector<SessionSummary> summaries;
    for (const auto& s : saved) summaries.push_back(SessionSummary::of(s));
    EXPECT_EQ(archive.loadSummaries().summaries, summaries);
    fs::remove_all(folder);
}

TEST_F(ArchiveFolder, OpeningAListedSessionReadsItWholeOrSaysWhatBecameOfItsFile) {
    std::vector<TestSession> saved;
    for (int i = 0; i < 200; ++i) {
        auto s = session("U" + std::to_string(i % 30), "2026-03-01T09:00:00Z",
                         {result(TestKind::drift, "Left stick", Verdict::warn, {percent("offset", 0.05)})});
        s.date += std::chrono::minutes(i);
        s.notes = "note " + std::to_string(i);
        saved.push_back(s);
        archive.save(s);
    }
    const auto listed = archive.loadSummaries().summaries;
    ASSERT_EQ(listed.size(), saved.size());
    std::map<Uuid, TestSession> byId;
    for (const auto& s : saved) byId[s.id] = s;

    // Between listing and opening: files deleted, replaced by another session, saved again with
    // new notes, cut short, and one turned into a pipe that would block a plain read.
    std::map<Uuid, std::optional<std::string>> expectedProblem; // absent words: the decoder's
    for (std::size_t i = 0; i < listed.size(); i += 7) {
        const Uuid& id = listed[i].id;
        switch ((i / 7) % 5) {
        case 0:
            fs::remove(archive.url(id));
            expectedProblem[id] = "its file was deleted after the history was listed";
            break;
        case 1: {
            auto other = byId[listed[i + 1].id];
            std::ofstream(archive.url(id), std::ios::binary) << SessionCoder::encode(other);
            expectedProblem[id] = "its file was replaced after the history was listed";
            break;
        }
        case 2:
            byId[id].notes = "changed notes";
            archive.save(byId[id]);
            break;
        case 3: {
            const std::string text = SessionCoder::encode(byId[id]);
            std::ofstream(archive.url(id), std::ios::binary | std::ios::trunc) << text.substr(0, text.size() / 2);
            expectedProblem[id] = std::nullopt;
            break;
        }
        case 4:
            fs::remove(archive.url(id));
            ASSERT_EQ(::mkfifo(archive.url(id).c_str(), 0600), 0);
            expectedProblem[id] = "not a regular file";
            break;
        }
    }

    int opened = 0;
    for (const auto& summary : listed) {
        const auto result = archive.open(summary);
        const auto problem = expectedProblem.find(summary.id);
        if (problem == expectedProblem.end()) {
            ASSERT_TRUE(result.session) << result.problem;
            EXPECT_EQ(*result.session, byId[summary.id]);
            // Byte for byte what a whole read of the file gives.
            EXPECT_EQ(SessionCoder::encode(*result.session), SessionCoder::encode(SessionArchive::readFile(archive.url(summary.id))));
            ++opened;
        } else {
            EXPECT_FALSE(result.session);
            EXPECT_FALSE(result.problem.empty());
            if (problem->second) {
                EXPECT_EQ(result.problem, *problem->second);
            }
        }
    }
    EXPECT_GT(opened, 160);
}
