// Reading files that may be hostile: a named pipe is refused at once instead of waiting for a
// writer, and a file bigger than the limit is refused unread.
#include "testkit/BoundedFile.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

#include "support/TestFiles.h"

using namespace RorozErurEvo;
namespace fs = std::filesystem;

TEST(BoundedFile, ReadsARegularFileUpToTheLimitAndRefusesTheRest) {
    TestFiles::Folder f("bounded");
    const fs::path exact = f.root / "exact.json", big = f.root / "big.json", pipe = f.root / "pipe.json";
    std::ofstream(exact) << "0123456789";
    EXPECT_EQ(BoundedFile::read(exact, 10).text, "0123456789");

    // Sparse: the size is there, the disk blocks are not.
    std::ofstream(big).close();
    fs::resize_file(big, 33u * 1024 * 1024);
    auto tooBig = BoundedFile::read(big, 32u * 1024 * 1024);
    EXPECT_FALSE(tooBig.text);
    EXPECT_EQ(tooBig.error, "larger than 32 MB");
    EXPECT_EQ(BoundedFile::read(exact, 9).error, "larger than 9 bytes");

    // No writer ever comes: the read must not wait for one.
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    auto special = BoundedFile::read(pipe, 1024);
    EXPECT_FALSE(special.text);
    EXPECT_EQ(special.error, "not a regular file");
    EXPECT_EQ(BoundedFile::read(f.root, 1024).error, "not a regular file");
    EXPECT_EQ(BoundedFile::read(f.root / "missing", 1024).error, "No such file or directory");
    EXPECT_TRUE(BoundedFile::read(f.root / "missing", 1024).missing);
    EXPECT_FALSE(special.missing) << "a pipe is there: refused, not missing";
}

TEST(BoundedFile, AKernelReportIsReadToItsEndThoughItsSizeReadsAsNothing) {
    // The kernel's files say they hold 0 bytes: read() would give nothing of them.
    const auto status = BoundedFile::readReport("/proc/self/status", 64 * 1024);
    ASSERT_TRUE(status.text) << status.error;
    EXPECT_NE(status.text->find("\nPid:\t" + std::to_string(::getpid()) + "\n"), std::string::npos);
    EXPECT_EQ(BoundedFile::read("/proc/self/status", 64 * 1024).text, "");
    const auto cut = BoundedFile::readReport("/proc/self/status", 16);
    EXPECT_FALSE(cut.text) << "a longer report is refused, not cut";
    EXPECT_EQ(cut.error, "larger than 16 bytes");

    TestFiles::Folder f("report");
    const fs::path exact = f.root / "exact", pipe = f.root / "pipe";
    std::ofstream(exact) << "0123456789";
    EXPECT_EQ(BoundedFile::readReport(exact, 10).text, "0123456789");
    EXPECT_EQ(BoundedFile::readReport(exact, 9).error, "larger than 9 bytes");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    EXPECT_EQ(BoundedFile::readReport(pipe, 1024).error, "not a regular file");
    EXPECT_TRUE(BoundedFile::readReport(f.root / "missing", 1024).missing);
}
