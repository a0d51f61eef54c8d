// A command-line tool's output: "-" goes to the descriptor given, a named pipe gets a stream
// (its reader receives every byte), and a plain path is written whole.
#include "testkit/ToolOutput.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "testkit/Uuid.h"

using namespace RorozErurEvo;
namespace fs = std::filesystem;

namespace {

struct Folder {
    fs::path root = fs::temp_directory_path() / ("tessarine-output-" + std::to_string(::getpid()) + "-" +
                                                 Uuid::random().text());
    Folder() { fs::create_directories(root); }
    ~Folder() { fs::remove_all(root); }
};

std::string read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Everything a reader of the pipe at `from` receives, copied by a child process into `to`.
pid_t copyFromPipe(const fs::path& from, const fs::path& to) {
    const pid_t child = ::fork();
    if (child == 0) {
        const int in = ::open(from.c_str(), O_RDONLY);
        const int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        char buffer[4096];
        for (ssize_t n; in >= 0 && out >= 0 && (n = ::read(in, buffer, sizeof buffer)) > 0;)
            if (::write(out, buffer, static_cast<std::size_t>(n)) != n) break;
        ::_exit(0);
    }
    return child;
}

} // namespace

TEST(ToolOutput, APipeReceivesTheWholeStreamAndStaysAPipe) {
    Folder f;
    const fs::path pipe = f.root / "report.pdf", copy = f.root / "copy";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    // More than a pipe holds, so the writer has to wait for its reader.
    std::string data(300 * 1024, 'x');
    data.back() = 'y';
    const pid_t reader = copyFromPipe(pipe, copy);
    ASSERT_GT(reader, 0);
    EXPECT_FALSE(ToolOutput::write(pipe.string(), data, -1));
    ::waitpid(reader, nullptr, 0);
    EXPECT_EQ(read(copy), data);
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

    Folder f;
    EXPECT_FALSE(ToolOutput::write((f.root / "a.pdf").string(), "file", -1));
    EXPECT_EQ(read(f.root / "a.pdf"), "file");
    fs::create_directory(f.root / "folder");
    EXPECT_EQ(ToolOutput::write((f.root / "folder").string(), "x", -1),
              (f.root / "folder").string() + " is not a regular file");
}
