// Exporting a history of saved sessions, one of them with 31 MB of notes, as the window's
// File › Export All Sessions does: the listed sessions read whole from their files one at a time,
// each written to the export and let go (SessionLibrary::Listed, ExportFile). Beside it, the
// whole-document export that read every session, then built and wrote the whole text at once.
// Counters: peak_MB, how much the process's peak resident size grew during the export (reset as
// it starts, through /proc/self/clear_refs); file_MB, the export's size.
// Targets: a peak growth under 100 MB for 5,000 sessions, whatever the history's size; 20,000
// sessions export whole under a 4 GB address space:
//     prlimit --as=4294967296 build/bench/export_stream_bench --benchmark_filter=Streamed.*/20000
#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>

#include "app/model/SessionLibrary.h"
#include "bench/RealisticSession.h"
#include "testkit/AtomicFile.h"
#include "testkit/ExportFile.h"
#include "testkit/SessionArchive.h"
#include "testkit/SessionExport.h"

using namespace Tessarine;
namespace fs = std::filesystem;

namespace {

// A history of `count` sessions and one with 31 MB of notes (lines of prose, then 8 MB without a
// break, as scripts/long-sessions.py writes it), made once per size for the whole run.
fs::path history(int count) {
    static std::map<int, std::unique_ptr<QTemporaryDir>> made;
    auto& folder = made[count];
    const bool fresh = !folder;
    if (fresh) folder = std::make_unique<QTemporaryDir>();
    const fs::path sessions = fs::path(folder->path().toStdString()) / "Sessions";
    if (fresh) {
        RealisticSession::writeFiles(sessions, count);
        auto notes = RealisticSession::make(count);
        std::string line;
        for (int i = 0; i < 12; ++i) line += "The left stick drifts a little to the upper right after the repair; checked twice. ";
        notes.notes.reserve(31u << 20);
        for (int i = 0; i < 23000; ++i) notes.notes += line + "\n";
        notes.notes.append(8u << 20, 'x');
        notes.results.resize(1); // one row in the CSV, as the history of the export road has it
        RorozErurEvo::SessionArchive{sessions}.save(notes);
    }
    return sessions;
}

long kibibytes(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string name;
    long value = 0;
    while (status >> name) {
        if (name == field) {
            status >> value;
            return value;
        }
        status.ignore(1 << 10, '\n');
    }
    return 0;
}

// Starts the peak resident size afresh from the current size.
void resetPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }

// Runs `exportTo` (the file to write) once per iteration, the peak reset as it starts, and
// reports the peak's growth during the last one and the file's size.
template <typename Export> void measured(benchmark::State& state, const char* name, Export exportTo) {
    QTemporaryDir out;
    const fs::path file = fs::path(out.path().toStdString()) / name;
    long before = 0;
    for (auto _ : state) {
        resetPeak();
        before = kibibytes("VmRSS:");
        exportTo(file);
    }
    state.counters["peak_MB"] = static_cast<double>(kibibytes("VmHWM:") - before) / 1024;
    std::error_code error;
    state.counters["file_MB"] = static_cast<double>(fs::file_size(file, error)) / (1 << 20);
}

void streamed(benchmark::State& state, RorozErurEvo::ExportFile::Format format) {
    const fs::path sessions = history(static_cast<int>(state.range(0)));
    SessionLibrary library(RorozErurEvo::SessionArchive{sessions});
    library.load();
    measured(state, "Tessarine sessions", [&](const fs::path& file) {
        auto listed = std::make_shared<SessionLibrary::Listed>(library.listed(library.sessions()));
        RorozErurEvo::ExportFile::Job job;
        job.target = file;
        job.format = format;
        job.app = "Tessarine";
        job.appVersion = "1.0";
        job.exported = RorozErurEvo::Dates::now();
        job.count = listed->size();
        job.read = [listed](std::size_t i) { return listed->read(i); };
        const std::atomic<bool> cancelled{false};
        const auto outcome = RorozErurEvo::ExportFile::write(job, cancelled, {});
        if (outcome.state != RorozErurEvo::ExportFile::Outcome::State::written) state.SkipWithError(outcome.problem.c_str());
    });
}

void BM_StreamedJSON(benchmark::State& state) { streamed(state, RorozErurEvo::ExportFile::Format::json); }
BENCHMARK(BM_StreamedJSON)->Arg(5000)->Arg(20000)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_StreamedCSV(benchmark::State& state) { streamed(state, RorozErurEvo::ExportFile::Format::csv); }
BENCHMARK(BM_StreamedCSV)->Arg(5000)->Arg(20000)->Unit(benchmark::kMillisecond)->Iterations(1);

// The whole-document export: every session read, then the whole text made and written.
void BM_WholeDocumentJSON(benchmark::State& state) {
    const fs::path sessions = history(static_cast<int>(state.range(0)));
    measured(state, "Tessarine sessions.json", [&](const fs::path& file) {
        const auto all = RorozErurEvo::SessionArchive{sessions}.load().sessions;
        const std::string text = RorozErurEvo::SessionExport::jsonText(all, "Tessarine", "1.0", RorozErurEvo::Dates::now());
        if (RorozErurEvo::AtomicFile::write(file, text)) state.SkipWithError("could not write the export");
    });
}
BENCHMARK(BM_WholeDocumentJSON)->Arg(5000)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
