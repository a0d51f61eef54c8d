#include "testkit/ExportFile.h"

#include <gtest/gtest.h>

#include <fstream>

#include "SessionSamples.h"
#include "support/TestFiles.h"
#include "testkit/SessionExport.h"

using namespace RorozErurEvo;
using namespace RorozErurEvo::Samples;
namespace fs = std::filesystem;

namespace {

class ExportFolder : public ::testing::Test {
protected:
    TestFiles::Folder folder{"exportfile"};
    const fs::path& root = folder.root;
    std::vector<TestSession> sessions;

    void SetUp() override {
        for (int i = 0; i < 5; ++i)
            sessions.push_back(session("SN-" + std::to_string(i), "2026-03-01T09:00:00Z",
                                       {result(TestKind::drift, "Left stick", Verdict::warn, {percent("offset", 0.05)})}));
    }

    ExportFile::Job job(ExportFile::Format format, fs::path target) {
        ExportFile::Job job;
        job.target = std::move(target);
        job.format = format;
        job.app = "Tessarine";
        job.appVersion = "1.0";
        job.exported = Samples::at("2026-03-05T12:00:00Z");
        job.count = sessions.size();
        job.read = [this](std::size_t i) {
            ++reads;
            return ExportFile::Read{std::make_shared<const TestSession>(sessions[i]), {}};
        };
        return job;
    }
    std::size_t entries() const { return static_cast<std::size_t>(std::distance(fs::directory_iterator(root), {})); }

    std::size_t reads = 0;
    std::atomic<bool> cancelled{false};
};

} // namespace

TEST_F(ExportFolder, WritesTheWholeExportAndSaysHowFarItGot) {
    std::vector<std::size_t> heard;
    auto progress = [&](std::size_t written) { heard.push_back(written); };
    auto json = ExportFile::write(job(ExportFile::Format::json, root / "all.json"), cancelled, progress);
    EXPECT_EQ(json.state, ExportFile::Outcome::State::written) << json.problem;
    EXPECT_EQ(TestFiles::readWhole(root / "all.json"), SessionExport::jsonText(sessions, "Tessarine", "1.0", Samples::at("2026-03-05T12:00:00Z")));
    EXPECT_EQ(heard, (std::vector<std::size_t>{1, 2, 3, 4, 5}));
    auto csv = ExportFile::write(job(ExportFile::Format::csv, root / "all.csv"), cancelled, {});
    EXPECT_EQ(csv.state, ExportFile::Outcome::State::written);
    EXPECT_EQ(TestFiles::readWhole(root / "all.csv"), SessionExport::csv(sessions));
    EXPECT_EQ(entries(), 2u);
}

TEST_F(ExportFolder, ACancelledOrFailedExportLeavesTheOldFileAndNothingBeside) {
    std::ofstream(root / "all.json") << "old";
    // Cancelled half way: the sessions after it are never read.
    auto cancelling = job(ExportFile::Format::json, root / "all.json");
    auto outcome = ExportFile::write(cancelling, cancelled, [&](std::size_t written) {
        if (written == 2) cancelled = true;
    });
    EXPECT_EQ(outcome.state, ExportFile::Outcome::State::cancelled);
    EXPECT_EQ(reads, 2u);
    EXPECT_EQ(TestFiles::readWhole(root / "all.json"), "old");
    EXPECT_EQ(entries(), 1u);
    cancelled = false;

    // A session that cannot be read stops it, with the reader's words.
    auto gone = job(ExportFile::Format::csv, root / "all.json");
    gone.read = [](std::size_t i) {
        if (i == 3) return ExportFile::Read{nullptr, "SN-3: its file was deleted after the history was listed"};
        return ExportFile::Read{std::make_shared<const TestSession>(), {}};
    };
    outcome = ExportFile::write(gone, cancelled, {});
    EXPECT_EQ(outcome.state, ExportFile::Outcome::State::failed);
    EXPECT_EQ(outcome.problem, "SN-3: its file was deleted after the history was listed");

    // Running out of memory while reading or encoding is a failure told, not an end of the program.
    auto starved = job(ExportFile::Format::json, root / "all.json");
    starved.read = [](std::size_t) -> ExportFile::Read { throw std::bad_alloc(); };
    outcome = ExportFile::write(starved, cancelled, {});
    EXPECT_EQ(outcome.state, ExportFile::Outcome::State::failed);
    EXPECT_EQ(outcome.problem, "there is not enough memory");

    // A session that cannot be encoded.
    sessions[1].results[0].measures[0].value = INFINITY;
    outcome = ExportFile::write(job(ExportFile::Format::json, root / "all.json"), cancelled, {});
    EXPECT_EQ(outcome.state, ExportFile::Outcome::State::failed);
    EXPECT_EQ(outcome.problem, "a number that is not finite cannot be written as JSON");

    // A folder that is not there: the writer's words.
    outcome = ExportFile::write(job(ExportFile::Format::csv, root / "missing" / "all.csv"), cancelled, {});
    EXPECT_EQ(outcome.state, ExportFile::Outcome::State::failed);
    EXPECT_NE(outcome.problem.find("No such file or directory"), std::string::npos) << outcome.problem;

    EXPECT_EQ(TestFiles::readWhole(root / "all.json"), "old");
    EXPECT_EQ(entries(), 1u) << "no temporary file is left";
}
