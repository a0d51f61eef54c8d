#include "testkit/AtomicFile.h"

#include <gtest/gtest.h>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <sstream>

#include "testkit/Uuid.h"

using namespace RorozErurEvo;
namespace fs = std::filesystem;

namespace {

class AtomicFolder : public ::testing::Test {
protected:
    fs::path root = fs::temp_directory_path() /
                    ("tessarine-atomic-" + std::to_string(::getpid()) + "-" + Uuid::random().text());

    void SetUp() override { fs::create_directories(root); }
    void TearDown() override { fs::remove_all(root); }

    static std::string read(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    std::vector<std::string> names() const {
        std::vector<std::string> all;
        for (const auto& entry : fs::directory_iterator(root)) all.push_back(entry.path().filename());
        std::sort(all.begin(), all.end());
        return all;
    }
};

} // namespace

TEST_F(AtomicFolder, WritesReplacesKeepsPermissionsAndLeavesNothingBehind) {
    const fs::path file = root / "report.csv";
    EXPECT_FALSE(AtomicFile::write(file, "first"));
    EXPECT_EQ(read(file), "first");

    ::chmod(file.c_str(), 0640);
    const std::string binary("a\0b\xff", 4);
    EXPECT_FALSE(AtomicFile::write(file, binary));
    EXPECT_EQ(read(file), binary);
    struct stat info {};
    ASSERT_EQ(::stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);

    EXPECT_FALSE(AtomicFile::write(file, ""));
    EXPECT_EQ(fs::file_size(file), 0u);
    EXPECT_EQ(names(), std::vector<std::string>{"report.csv"});
}

TEST_F(AtomicFolder, ALinkIsWrittenThroughAndKeptALink) {
    const fs::path real = root / "real.pdf", link = root / "link.pdf";
    EXPECT_FALSE(AtomicFile::write(real, "old"));
    fs::create_symlink(real, link);
    EXPECT_FALSE(AtomicFile::write(link, "new"));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(read(real), "new");
}

TEST_F(AtomicFolder, ADanglingLinkIsWrittenThroughOrRefusedButNeverReplaced) {
    // Relative, through a second link, and ending where no file is yet: the file is created there.
    fs::create_directories(root / "out");
    fs::create_symlink("out/second.csv", root / "first.csv");
    fs::create_symlink("made.csv", root / "out" / "second.csv");
    EXPECT_FALSE(AtomicFile::write(root / "first.csv", "rows"));
    EXPECT_TRUE(fs::is_symlink(root / "first.csv"));
    EXPECT_TRUE(fs::is_symlink(root / "out" / "second.csv"));
    EXPECT_EQ(read(root / "out" / "made.csv"), "rows");

    // A link into a folder that does not exist, or a loop of links, cannot be written through.
    fs::create_symlink(root / "gone" / "x.json", root / "nowhere.json");
    EXPECT_EQ(AtomicFile::write(root / "nowhere.json", "x"),
              "could not write \u201C" + (root / "nowhere.json").string() + "\u201D: No such file or directory");
    fs::create_symlink("loop-b", root / "loop-a");
    fs::create_symlink("loop-a", root / "loop-b");
    EXPECT_EQ(AtomicFile::write(root / "loop-a", "x"),
              "could not write \u201C" + (root / "loop-a").string() + "\u201D: Too many levels of symbolic links");
    for (const char* link : {"nowhere.json", "loop-a", "loop-b"}) EXPECT_TRUE(fs::is_symlink(root / link)) << link;
    EXPECT_EQ(names(), (std::vector<std::string>{"first.csv", "loop-a", "loop-b", "nowhere.json", "out"}));
}

// Another user's link in a folder every user may write to (as /tmp) is not followed, as the
// kernel would not follow it (fs.protected_symlinks): else anyone could aim a report at a file
// of the exporting user's. Links of the user or of the folder's owner, or in a folder that is
// not sticky, are written through as ever. Making a link another user's takes root.
TEST_F(AtomicFolder, AnotherUsersLinkInASharedStickyFolderIsRefused) {
    const passwd* nobody = ::getpwnam("nobody");
    if (::geteuid() != 0 || !nobody) GTEST_SKIP() << "needs root and a user \"nobody\" to make another user's link";
    auto folder = [&](const char* name, mode_t mode, bool nobodysFolder) {
        const fs::path path = root / name;
        fs::create_directory(path);
        ::chmod(path.c_str(), mode);
        if (nobodysFolder) {
            EXPECT_EQ(::chown(path.c_str(), nobody->pw_uid, nobody->pw_gid), 0);
        }
        return path;
    };
    auto link = [&](const fs::path& at, const fs::path& to, bool nobodys) {
        fs::create_symlink(to, at);
        if (nobodys) {
            EXPECT_EQ(::lchown(at.c_str(), nobody->pw_uid, nobody->pw_gid), 0);
        }
        return at;
    };
    const fs::path keep = root / "keep.txt";
    ASSERT_FALSE(AtomicFile::write(keep, "kept"));

    const fs::path shared = folder("shared", 01777, false);
    const fs::path planted = link(shared / "report.pdf", keep, true);
    EXPECT_EQ(AtomicFile::write(planted, "%PDF"),
              "could not write \u201C" + planted.string() + "\u201D: \u201C" + planted.string() +
                  "\u201D is a link another user made in a folder every user can write to; such a link is not "
                  "followed");
    // Reached through a link of the user's own, the planted link is refused all the same.
    const fs::path mine = link(root / "mine.pdf", planted, false);
    EXPECT_TRUE(AtomicFile::write(mine, "%PDF"));
    EXPECT_EQ(read(keep), "kept");
    EXPECT_TRUE(fs::is_symlink(planted));
    EXPECT_EQ(std::vector<std::string>{"report.pdf"}, [&] {
        std::vector<std::string> all;
        for (const auto& entry : fs::directory_iterator(shared)) all.push_back(entry.path().filename());
        return all;
    }()) << "no temporary file is left";

    // The user's own dangling link there is written through, creating the file it names.
    EXPECT_FALSE(AtomicFile::write(link(shared / "own.csv", root / "made.csv", false), "rows"));
    EXPECT_EQ(read(root / "made.csv"), "rows");
    // The folder's owner's link, and any link in a folder that is not sticky, are followed.
    const fs::path theirs = folder("theirs", 01777, true);
    EXPECT_FALSE(AtomicFile::write(link(theirs / "a.csv", root / "a.csv", true), "a"));
    const fs::path open = folder("open", 0777, false);
    EXPECT_FALSE(AtomicFile::write(link(open / "b.csv", root / "b.csv", true), "b"));
    EXPECT_EQ(read(root / "a.csv") + read(root / "b.csv"), "ab");
}

// A file another user planted in a folder every user may write to (as /tmp), at the name a report
// or an export is written to, is not replaced: root's report would become a file that user owns
// the name of and can change. The user's own files there, the folder owner's, and any file in a
// folder that is not sticky are replaced as ever. Making a file another user's takes root.
TEST_F(AtomicFolder, AnotherUsersFileInASharedStickyFolderIsRefusedAndLeftUnchanged) {
    const passwd* nobody = ::getpwnam("nobody");
    if (::geteuid() != 0 || !nobody) GTEST_SKIP() << "needs root and a user \"nobody\" to make another user's file";
    const auto folder = [&](const char* name, mode_t mode, bool nobodys) {
        const fs::path path = root / name;
        fs::create_directory(path);
        ::chmod(path.c_str(), mode);
        if (nobodys) {
            EXPECT_EQ(::chown(path.c_str(), nobody->pw_uid, nobody->pw_gid), 0);
        }
        return path;
    };
    const auto nobodysFile = [&](const fs::path& path) {
        std::ofstream(path) << "theirs";
        EXPECT_EQ(::chown(path.c_str(), nobody->pw_uid, nobody->pw_gid), 0);
        EXPECT_EQ(::chmod(path.c_str(), 06777), 0);
        return path;
    };
    const fs::path shared = folder("shared", 01777, false);
    const fs::path planted = nobodysFile(shared / "report.pdf");
    const std::string refusal = "could not write \u201C" + planted.string() + "\u201D: \u201C" + planted.string() +
                                "\u201D is a file another user made in a folder every user can write to; such a file is "
                                "not replaced";
    EXPECT_EQ(AtomicFile::write(planted, "%PDF"), refusal);
    // Through a link of the user's own, and in pieces, alike.
    fs::create_symlink(planted, root / "mine.pdf");
    EXPECT_TRUE(AtomicFile::write(root / "mine.pdf", "%PDF"));
    EXPECT_EQ(AtomicFile::Writer(planted).error(), refusal);
    struct stat info {};
    ASSERT_EQ(::lstat(planted.c_str(), &info), 0);
    EXPECT_EQ(read(planted), "theirs");
    EXPECT_EQ(info.st_uid, nobody->pw_uid);
    EXPECT_EQ(info.st_mode & 07777, 06777u);
    EXPECT_EQ(std::distance(fs::directory_iterator(shared), fs::directory_iterator()), 1) << "no temporary file is left";

    // The folder owner's file, and another user's in a folder that is not sticky, are replaced,
    // without their set-ID bits.
    for (const fs::path& file : {nobodysFile(folder("theirs", 01777, true) / "a.csv"),
                                 nobodysFile(folder("open", 0777, false) / "b.csv")}) {
        EXPECT_FALSE(AtomicFile::write(file, "rows")) << file;
        EXPECT_EQ(read(file), "rows");
        ASSERT_EQ(::stat(file.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, 0777u) << file;
    }
}

// A file written over one with the set-user-ID, set-group-ID or sticky bit has none of them: a
// program root writes over must not become one that runs as root. Its other permissions stay.
TEST_F(AtomicFolder, AFileWrittenOverASetIdFileOfTheUsersOwnIsNotSetId) {
    const fs::path file = root / "export.json";
    ASSERT_FALSE(AtomicFile::write(file, "old"));
    ASSERT_EQ(::chmod(file.c_str(), 07750), 0);
    struct stat info {};
    ASSERT_EQ(::stat(file.c_str(), &info), 0);
    ASSERT_NE(info.st_mode & 07000, 0u) << "the system kept no set-ID bit to test with";
    EXPECT_FALSE(AtomicFile::write(file, "new"));
    ASSERT_EQ(::stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0750u);
    {
        ASSERT_EQ(::chmod(file.c_str(), 04700), 0);
        AtomicFile::Writer pieces(file);
        ASSERT_TRUE(pieces.append("rows"));
        EXPECT_FALSE(pieces.commit());
    }
    ASSERT_EQ(::stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0700u);
    EXPECT_EQ(read(file), "rows");
}

// The new file takes the permissions of the file judged when the write began, never those of a
// file put at its name afterwards: anyone may put one there in a shared folder, world-writable,
// and remove it again before the commit, to be able to write to the new file. Put there here by
// the writer's own hook, between its judging the target and its making the temporary file.
TEST_F(AtomicFolder, AFilePutAtTheNameAfterTheCheckLendsTheNewFileNoPermissions) {
    struct Restore {
        mode_t mask = ::umask(022);
        ~Restore() {
            ::umask(mask);
            AtomicFile::afterJudgingForTests(nullptr);
        }
    } restore;
    // Left in place, and the user's own, so that the commit replaces it.
    AtomicFile::afterJudgingForTests([](const fs::path& destination) {
        fs::remove(destination);
        std::ofstream(destination) << "planted";
        ::chmod(destination.c_str(), 0777);
    });
    const fs::path fresh = root / "fresh.pdf", replaced = root / "replaced.pdf";
    EXPECT_FALSE(AtomicFile::write(fresh, "%PDF"));
    std::ofstream(replaced) << "old";
    ASSERT_EQ(::chmod(replaced.c_str(), 0640), 0);
    {
        AtomicFile::Writer pieces(replaced);
        ASSERT_TRUE(pieces.append("rows"));
        EXPECT_FALSE(pieces.commit());
    }
    struct stat info {};
    ASSERT_EQ(::stat(fresh.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0644u) << "a new file's mode, as the umask has it";
    ASSERT_EQ(::stat(replaced.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u) << "the judged file's mode";
    EXPECT_EQ(read(fresh) + read(replaced), "%PDFrows");
}

TEST_F(AtomicFolder, FailuresNameTheFileAndTheCauseAndLeaveTheOldContents) {
    const auto missing = AtomicFile::write(root / "no folder" / "a.json", "x");
    ASSERT_TRUE(missing);
    EXPECT_EQ(*missing, "could not write \u201C" + (root / "no folder" / "a.json").string() +
                            "\u201D: No such file or directory");

    // A folder where the file should go cannot be replaced by it.
    fs::create_directories(root / "taken" / "inside");
    EXPECT_EQ(AtomicFile::write(root / "taken", "x"), (root / "taken").string() + " is not a regular file");
    EXPECT_TRUE(fs::is_directory(root / "taken" / "inside"));
    EXPECT_EQ(names(), std::vector<std::string>{"taken"}) << "no temporary file is left";
}

TEST_F(AtomicFolder, ANamedPipeOrALinkToOneIsRefusedAndStaysAPipe) {
    // A pipe stands here for every special file: a device node is never a test's target.
    const fs::path pipe = root / "out.pdf", link = root / "link.pdf";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    fs::create_symlink(pipe, link);
    EXPECT_EQ(AtomicFile::write(pipe, "report"), pipe.string() + " is not a regular file");
    EXPECT_EQ(AtomicFile::write(link, "report"), link.string() + " is not a regular file");
    EXPECT_TRUE(fs::is_fifo(pipe));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(names(), (std::vector<std::string>{"link.pdf", "out.pdf"}));
}

TEST_F(AtomicFolder, AWriteRemovesOurStaleTemporaryFilesInItsFolderOnly) {
    auto ours = [](const std::string& name) { return AtomicFile::temporaryName(name); };
    const std::string stale1 = ours("report.pdf"), stale2 = ours("other.csv"), fresh = ours("report.pdf");
    // Named like ours but not ours, or not a file: left alone whatever their age.
    const std::string foreign1 = ".report.pdf.backup.tmp", foreign2 = ".notes.tmp", folder = ours("x");
    for (const auto& name : {stale1, stale2, fresh, foreign1, foreign2}) std::ofstream(root / name) << "partial";
    fs::create_directory(root / folder);
    fs::create_directories(root / "sub");
    const std::string elsewhere = ours("report.pdf");
    std::ofstream(root / "sub" / elsewhere) << "partial";
    const auto hourAgo = fs::file_time_type::clock::now() - std::chrono::hours(1);
    for (const auto& name : {stale1, stale2, foreign1, foreign2, folder, "sub/" + elsewhere})
        fs::last_write_time(root / name, hourAgo);

    EXPECT_FALSE(AtomicFile::write(root / "report.pdf", "new"));
    std::vector<std::string> kept{"report.pdf", fresh, foreign1, foreign2, folder, "sub"};
    std::sort(kept.begin(), kept.end());
    EXPECT_EQ(names(), kept);
    EXPECT_TRUE(fs::exists(root / "sub" / elsewhere)) << "another folder waits for its own next write";
}

TEST_F(AtomicFolder, AWriterInPiecesShowsNothingUntilCommittedAndAGivenUpOneLeavesNothing) {
    const fs::path file = root / "export.json";
    EXPECT_FALSE(AtomicFile::write(file, "old"));
    // Pieces small and large: gathered, then past the buffer, then one larger than the buffer.
    const std::string small(1000, 'a'), large(AtomicFile::Writer::bufferBytes * 3 + 7, 'b');
    {
        AtomicFile::Writer writer(file);
        ASSERT_FALSE(writer.error());
        for (int i = 0; i < 300; ++i) ASSERT_TRUE(writer.append(small));
        ASSERT_TRUE(writer.append(large));
        ASSERT_TRUE(writer.append("end"));
        EXPECT_EQ(read(file), "old") << "the target is untouched until the commit";
        EXPECT_FALSE(writer.commit());
    }
    std::string expected;
    for (int i = 0; i < 300; ++i) expected += small;
    expected += large + "end";
    EXPECT_EQ(read(file), expected);
    {
        // Given up half way, as a cancelled export is: the old file stays, no temporary file.
        AtomicFile::Writer writer(file);
        ASSERT_TRUE(writer.append(large));
        EXPECT_EQ(names().size(), 2u);
    }
    EXPECT_EQ(read(file), expected);
    EXPECT_EQ(names(), std::vector<std::string>{"export.json"});
}

TEST_F(AtomicFolder, AWriterThatCannotStartSaysWhyAndTakesNoPieces) {
    AtomicFile::Writer writer(root / "no folder" / "a.csv");
    ASSERT_TRUE(writer.error());
    EXPECT_EQ(*writer.error(), "could not write \u201C" + (root / "no folder" / "a.csv").string() +
                                   "\u201D: No such file or directory");
    EXPECT_FALSE(writer.append("rows"));
    EXPECT_EQ(writer.commit(), writer.error());
    const fs::path pipe = root / "out.csv";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    EXPECT_EQ(AtomicFile::Writer(pipe).error(), pipe.string() + " is not a regular file");
    EXPECT_EQ(names(), std::vector<std::string>{"out.csv"});
}

TEST(AtomicFileNames, TemporaryNamesLeadBackToTheirFileAndNothingElseDoes) {
    const std::string name = AtomicFile::temporaryName("3F2504E0-4F89-11D3-9A0C-0305E82C3301.json");
    EXPECT_TRUE(name.starts_with(".3F2504E0-4F89-11D3-9A0C-0305E82C3301.json.")) << name;
    EXPECT_TRUE(name.ends_with(".tmp")) << name;
    EXPECT_EQ(AtomicFile::temporaryTarget(name), "3F2504E0-4F89-11D3-9A0C-0305E82C3301.json");
    EXPECT_EQ(AtomicFile::temporaryTarget(AtomicFile::temporaryName("a")), "a");
    for (const char* other : {".a.json.backup.tmp", ".notes.tmp", "a.json", ".tmp",
                              "..3F2504E0-4F89-11D3-9A0C-0305E82C3301.tmp",
                              ".a.3F2504E0-4F89-11D3-9A0C-0305E82C3301.tmp.tmp"})
        EXPECT_FALSE(AtomicFile::temporaryTarget(other)) << other;
}
