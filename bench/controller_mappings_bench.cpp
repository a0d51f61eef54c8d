// The game-controller mappings the SDL thread takes in when it starts, with every mapping file at
// its size bound (the user's and two system folders, 4 MB of distinct mappings each): what is
// read and merged, and what SDL then spends adding the mappings it is given. No controller is
// seen until both are done.
// Target: well under a second together, so that controllers appear within a second of the start.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/devices/ControllerMappings.h"
#include "app/devices/SdlLibrary.h"

using namespace Tessarine;

namespace {

// A mapping file of distinct made-up pads, `first` on, just under the size bound.
std::string fullFile(int& first) {
    std::string text;
    char line[256];
    while (text.size() + sizeof line < ControllerMappings::maxBytes) {
        std::snprintf(line, sizeof line,
                      "03000000%08x0000000000000000,Made-up pad %d,a:b0,b:b1,x:b2,y:b3,back:b6,start:b7,leftx:a0,"
                      "lefty:a1,rightx:a3,righty:a4,platform:Linux,\n",
                      first, first);
        text += line;
        ++first;
    }
    return text;
}

ControllerMappings::Files threeFullFiles() {
    ControllerMappings::Files files;
    int first = 0;
    for (const char* path : {"/usr/share", "/usr/local/share", "~/.local/share"}) {
        files.paths.push_back(path);
        files.texts.push_back(fullFile(first));
    }
    return files;
}

void BM_MergeThreeFullMappingFiles(benchmark::State& state) {
    const auto files = threeFullFiles();
    for (auto _ : state) {
        const auto merged = ControllerMappings::merge(files);
        benchmark::DoNotOptimize(merged.text.data());
        if (merged.mappings != ControllerMappings::maxMappings) state.SkipWithError("not capped");
    }
}
BENCHMARK(BM_MergeThreeFullMappingFiles)->Unit(benchmark::kMillisecond);

// SDL adding what it is given from the three files; a fresh SDL each time, as at a start.
void BM_SDLAddsTheMappingsOfThreeFullFiles(benchmark::State& state) {
    auto loaded = SdlLibrary::load();
    if (!loaded.library) {
        state.SkipWithError("no SDL");
        return;
    }
    const SdlLibrary& sdl = *loaded.library;
    sdl.SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    const auto merged = ControllerMappings::merge(threeFullFiles());
    for (auto _ : state) {
        state.PauseTiming();
        if (sdl.Init(SDL_INIT_GAMECONTROLLER) != 0) state.SkipWithError("SDL did not start");
        state.ResumeTiming();
        const auto outcome = ControllerMappings::add(sdl, merged.text, {});
        state.PauseTiming();
        if (outcome.added != static_cast<int>(ControllerMappings::maxMappings)) state.SkipWithError("mappings lost");
        sdl.Quit();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_SDLAddsTheMappingsOfThreeFullFiles)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace
