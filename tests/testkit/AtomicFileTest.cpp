#include "testkit/AtomicFile.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

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

TEST_F(AtomicFolder, FailuresNameTheFileAndTheCauseAndLeaveTheOldContents) {
    const auto missing = AtomicFile::write(root / "no folder" / "a.json", "x");
    ASSERT_TRUE(missing);
    EXPECT_EQ(*missing, "could not write \u201C" + (root / "no folder" / "a.json").string() +
                            "\u201D: No such file or directory");

    // A folder where the file should go cannot be replaced by it.
    fs::create_directories(root / "taken" / "inside");
    const auto taken = AtomicFile::write(root / "taken", "x");
    ASSERT_TRUE(taken);
    EXPECT_TRUE(taken->starts_with("could not replace \u201C" + (root / "taken").string() + "\u201D: ")) << *taken;
    EXPECT_TRUE(fs::is_directory(root / "taken" / "inside"));
    EXPECT_EQ(names(), std::vector<std::string>{"taken"}) << "the temporary file is gone";
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
