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
