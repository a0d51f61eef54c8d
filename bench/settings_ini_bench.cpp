// The settings file at the 1 MB it is read at, read at start and written at each save (the text is
// made on the thread the setting was set on): hand edits and damage of the shapes that once cost
// the square of their size. A key of many parts ("a/a/…/a=1") was placed in its section by
// looking each leading part up whole (over twenty seconds a save); a long header over many refused
// lines was compared again for each line (seconds at start); a long header over many settings
// made each key as long as the header (at 1 MB, gigabytes at start). Target: every shape read, and saved
// with one setting changed, in well under a second, and the figures grow with the file, not its
// square (the /256 KB and /1 MB rows).
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "testkit/SettingsIni.h"

using namespace RorozErurEvo;

namespace {

enum Shape { oneKeyOfManyParts, longHeaderOverRefusedLines, longHeaderOverSettings, manySettings, manyKeptSections };

std::string file(Shape shape, std::size_t bytes) {
    std::string text;
    switch (shape) {
    case oneKeyOfManyParts:
        text = "[a\\a]\nrefused\n[General]\na";
        while (text.size() + 4 < bytes) text += "/a";
        text += "=1\n";
        break;
    case longHeaderOverRefusedLines:
        text.append("[").append(bytes / 2, 'h').append("]\n");
        while (text.size() < bytes) text += "no equals sign\n";
        break;
    case longHeaderOverSettings:
        text.append("[").append(bytes / 2, 'h').append("]\n");
        for (int n = 0; text.size() < bytes; ++n) text += "k" + std::to_string(n) + "=1\n";
        break;
    case manySettings:
        for (int n = 0; text.size() < bytes; ++n) text += "key" + std::to_string(n) + "=value\n";
        break;
    case manyKeptSections:
        for (int n = 0; text.size() < bytes; ++n) text += "[s\\" + std::to_string(n) + "]\nx=@Rect(1 2)\ny=1\n";
        break;
    }
    return text;
}

void Read(benchmark::State& state, Shape shape) {
    const std::string text = file(shape, static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(SettingsIni::read(text));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

// A save as the application makes it: every setting read, one more set, written with the kept lines.
void Save(benchmark::State& state, Shape shape) {
    const std::string text = file(shape, static_cast<std::size_t>(state.range(0)));
    const SettingsIni::Contents contents = SettingsIni::read(text);
    std::vector<SettingsIni::Entry> entries = contents.entries;
    entries.push_back({"companyName", "Acme, Inc", false});
    for (auto _ : state) benchmark::DoNotOptimize(SettingsIni::write(entries, contents.kept));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

void Sizes(benchmark::internal::Benchmark* bench) {
    bench->Arg(256 * 1024)->Arg(1024 * 1024)->Unit(benchmark::kMillisecond);
}

} // namespace

BENCHMARK_CAPTURE(Read, OneKeyOfManyParts, oneKeyOfManyParts)->Apply(Sizes);
BENCHMARK_CAPTURE(Read, LongHeaderOverRefusedLines, longHeaderOverRefusedLines)->Apply(Sizes);
BENCHMARK_CAPTURE(Read, LongHeaderOverSettings, longHeaderOverSettings)->Apply(Sizes);
BENCHMARK_CAPTURE(Read, ManySettings, manySettings)->Apply(Sizes);
BENCHMARK_CAPTURE(Read, ManyKeptSections, manyKeptSections)->Apply(Sizes);
BENCHMARK_CAPTURE(Save, OneKeyOfManyParts, oneKeyOfManyParts)->Apply(Sizes);
BENCHMARK_CAPTURE(Save, LongHeaderOverRefusedLines, longHeaderOverRefusedLines)->Apply(Sizes);
BENCHMARK_CAPTURE(Save, LongHeaderOverSettings, longHeaderOverSettings)->Apply(Sizes);
BENCHMARK_CAPTURE(Save, ManySettings, manySettings)->Apply(Sizes);
BENCHMARK_CAPTURE(Save, ManyKeptSections, manyKeptSections)->Apply(Sizes);
