#pragma once
// Timing a whole load of a session folder into the session library, as the benchmarks of start-up
// and of the history do.
#include <benchmark/benchmark.h>

#include <cstddef>
#include <memory>

#include "app/model/SessionLibrary.h"

namespace LibraryLoads {

// Each round loads `archive` into a new library on the calling thread. Checking that all
// `expected` sessions were listed, and letting the library go, are left out of the time.
inline void timeWholeLoads(benchmark::State& state, const RorozErurEvo::SessionArchive& archive,
                           std::size_t expected) {
    for (auto _ : state) {
        auto library = std::make_unique<Tessarine::SessionLibrary>(archive);
        library->load();
        state.PauseTiming();
        if (library->sessions().size() != expected) state.SkipWithError("not every session loaded");
        library.reset();
        state.ResumeTiming();
    }
}

} // namespace LibraryLoads
