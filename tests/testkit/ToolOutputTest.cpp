// A command-line tool's output: "-" goes to the descriptor given, a named pipe gets a stream
// (its reader receives every byte), and a plain path is written whole.
#include "testkit/ToolOutput.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
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
