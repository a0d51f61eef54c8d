// A command-line tool's output: "-" goes to the descriptor given, a named pipe gets a stream
// (its reader receives every byte), and a plain path is written whole.
#include "testkit/ToolOutput.h"

#include <gtest/gtest.h>

#include <pwd.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "support/TestFiles.h"

using namespace RorozErurEvo;
namespace fs = std::filesystem;

TEST(ToolOutput, APipeReceivesTheWholeStreamAndStaysAPipe) {
    TestFiles::Folder f("output");
    const fs::path pipe = f.root / "report.pdf", copy = f.root / "copy";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    // More than a pipe holds, so the writer has to wait for its reader.
    std::string data(300 * 1024, 'x');
    data.back() = 'y';
    const pid_t reader = TestFiles::copyFromPipe(pipe, copy);
    ASSERT_GT(reader, 0);
    EXPECT_FALSE(ToolOutput::write(pipe.string(), data, -1));
    ::waitpid(reader, nullptr, 0);
    EXPECT_EQ(TestFiles::readWhole(copy), data);
    EXPECT_TRUE(fs::is_fifo(pipe));
}

TEST(ToolOutput, DashIsTheDescriptorGivenAndAPathIsAFile) {
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    EXPECT_FALSE(ToolOutput::write("-", "%PDF-1.4", fds[1]));
    ::close(fds[1]);
    char buffer[16] = {};
    EXPECT_EQ(::read(fds[0], buffer, sizeof buffer), 8);
    EXPECT_EQ(std::string(buffer), "%PDF-1.4");
    ::close(fds[0]);

    TestFiles::Folder f("output");
    EXPECT_FALSE(ToolOutput::write((f.root / "a.pdf").string(), "file", -1));
    EXPECT_EQ(TestFiles::readWhole(f.root / "a.pdf"), "file");
    fs::create_directory(f.root / "folder");
    EXPECT_EQ(ToolOutput::write((f.root / "folder").string(), "x", -1),
              (f.root / "folder").string() + " is not a regular file");
}

// Another user's pipe in a folder every user may write to (as /tmp), and another user's link there
// to a pipe or to a device, are refused before anything is opened: the planted pipe would receive
// the report, and hold the command for ever when its planter never reads; the link could aim it at
// any device. A reader held on each pipe shows that no writer ever opened it. The user's own pipe
// there, and the folder owner's, still receive the stream. Making them another user's takes root.
TEST(ToolOutput, AnotherUsersPipeOrLinkInASharedStickyFolderIsRefusedUnopened) {
    const passwd* nobody = ::getpwnam("nobody");
    if (::geteuid() != 0 || !nobody) GTEST_SKIP() << "needs root and a user \"nobody\" to make another user's pipe";
    TestFiles::Folder f("output");
    const auto folder = [&](const char* name, mode_t mode) {
        fs::create_directory(f.root / name);
        EXPECT_EQ(::chmod((f.root / name).c_str(), mode), 0);
        return f.root / name;
    };
    const auto nobodys = [&](const fs::path& path) {
        EXPECT_EQ(::lchown(path.c_str(), nobody->pw_uid, nobody->pw_gid), 0);
        return path;
    };
    const fs::path shared = folder("shared", 01777), mine = folder("mine", 0700);
    const fs::path privatePipe = mine / "private", device = mine / "device", planted = shared / "report.pdf";
    ASSERT_EQ(::mkfifo(privatePipe.c_str(), 0600), 0);
    ASSERT_EQ(::mkfifo(planted.c_str(), 0666), 0);
    nobodys(planted);
    // The test's own node, numbered as the device that discards what it is given.
    if (::mknod(device.c_str(), S_IFCHR | 0600, ::makedev(1, 3)) != 0) GTEST_SKIP() << "cannot make a device node here";
    const fs::path pipeLink = shared / "pipe.pdf", deviceLink = shared / "device.pdf";
    fs::create_symlink(privatePipe, pipeLink);
    nobodys(pipeLink);
    fs::create_symlink(device, deviceLink);
    nobodys(deviceLink);

    const auto refused = [](const fs::path& at, const std::string& what) {
        return "could not write \u201C" + at.string() + "\u201D: \u201C" + at.string() + "\u201D is " + what;
    };
    const std::string link = "a link another user made in a folder every user can write to; such a link is not followed";
    TestFiles::PipeWatch plantedWatch(planted), privateWatch(privatePipe);
    ASSERT_TRUE(plantedWatch.watching() && privateWatch.watching());
    EXPECT_EQ(ToolOutput::write(planted.string(), "%PDF", -1),
              refused(planted, "a named pipe another user made in a folder every user can write to; such a pipe is not "
                               "written to"));
    EXPECT_EQ(ToolOutput::write(pipeLink.string(), "%PDF", -1), refused(pipeLink, link));
    EXPECT_EQ(ToolOutput::write(deviceLink.string(), "%PDF", -1), refused(deviceLink, link));
    for (const TestFiles::PipeWatch* watch : {&plantedWatch, &privateWatch}) {
        EXPECT_FALSE(watch->opened());
        EXPECT_EQ(watch->received(), "");
    }
    EXPECT_TRUE(fs::is_fifo(planted) && fs::is_symlink(pipeLink) && fs::is_symlink(deviceLink));
    EXPECT_TRUE(fs::is_character_file(device));

    // The user's own pipe in the shared folder, and the folder owner's in a sticky folder of theirs.
    const fs::path own = shared / "own.pdf", theirs = nobodys(folder("theirs", 01777)) / "report.pdf";
    ASSERT_EQ(::mkfifo(own.c_str(), 0600), 0);
    ASSERT_EQ(::mkfifo(theirs.c_str(), 0666), 0);
    nobodys(theirs);
    for (const fs::path& pipe : {own, theirs}) {
        const fs::path copy = f.root / "copy";
        const pid_t reader = TestFiles::copyFromPipe(pipe, copy);
        ASSERT_GT(reader, 0);
        EXPECT_FALSE(ToolOutput::write(pipe.string(), "%PDF-1.4", -1)) << pipe;
        ::waitpid(reader, nullptr, 0);
        EXPECT_EQ(TestFiles::readWhole(copy), "%PDF-1.4") << pipe;
    }
}
