// Saving a session while the library lists 5,000 (a shop's history of a few years), as the
// save-session sheet does on the main thread: once into a library kept in memory only (the
// list's own cost) and once into a session folder (with the file written and synced).
// Target: under 2 ms for the list's part.
#include <benchmark/benchmark.h>

#include <algorithm>

#include <QTemporaryDir>

#include <filesystem>

#include "app/model/SessionLibrary.h"
#include "bench/RealisticSession.h"

using namespace Tessarine;

namespace {

constexpr int listed = 5000;

// Each iteration saves the session being worked on again, a little newer, as a technician does
// who saves after every test; it moves from the middle of the list to the top.
void save(benchmark::State& state, SessionLibrary& library) {
    auto history = RealisticSession::history(listed);
    library.setSessions(history);
    // The whole session in the middle of the list (the library may keep only its summary).
    const auto middle = library.sessions()[listed / 2].id;
    auto session = *std::find_if(history.begin(), history.end(), [&](const auto& s) { return s.id == middle; });
    double seconds = 1.7e9 + 3600.0 * listed;
    for (auto _ : state) {
        session.date = RorozErurEvo::Dates::fromSeconds(seconds += 60);
        if (!library.save(session)) state.SkipWithError("the save failed");
    }
    if (library.sessions().size() != listed) state.SkipWithError("the list changed length");
}

void BM_SaveWithFiveThousandListedInMemory(benchmark::State& state) {
    SessionLibrary library;
    save(state, library);
}
BENCHMARK(BM_SaveWithFiveThousandListedInMemory)->Unit(benchmark::kMillisecond);

void BM_SaveWithFiveThousandListedToFolder(benchmark::State& state) {
    QTemporaryDir folder;
    SessionLibrary library(RorozErurEvo::SessionArchive{std::filesystem::path(folder.path().toStdString()) / "Sessions"});
    save(state, library);
}
BENCHMARK(BM_SaveWithFiveThousandListedToFolder)->Unit(benchmark::kMillisecond);

} // namespace
