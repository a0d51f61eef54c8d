// Loading a full session folder: 5,000 session files of 22 results each, as a shop's history
// grows over a few years. Target: loadAll under 1 s and at least twice as fast as reading the
// same files with Python's json module. The Python figure comes from the same run (python3
// times its own loop over the same folder, without interpreter start-up) and is reported as
// the benchmark "PythonJsonLoad".
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "testkit/SessionArchive.h"

using namespace RorozErurEvo;
namespace fs = std::filesystem;

namespace {

constexpr int sessionCount = 5000;   // files in the folder
constexpr int resultsPerSession = 22;

Measure limited(const char* id, const char* label, double value, MeasureUnit unit, double warn, double fail,
                Limit::Direction direction = Limit::Direction::above) {
    return Measure{id, label, value, unit, Limit{warn, fail, direction}};
}

// One realistic session: two sticks with their four tests (circularity with its 72-sector
// plot), two triggers, buttons and the other pad tests, a soak run with its 120-bin strip.
TestSession realisticSession(int n) {
    TestSession s;
    s.id = Uuid::random();
    s.date = Dates::fromSeconds(1.7e9 + 3600.0 * n);
    s.unit = "SN-" + std::to_string(100000 + n % 1700);
    s.label = n % 2 ? "After repair" : "Before repair";
    s.technician = "Technician " + std::to_string(n % 7);
    s.ticket = "T-" + std::to_string(n);
    s.notes = "Replaced the left stick module; cleaned the triggers.";
    s.device = DeviceInfo{"Wireless Controller", "Maker", "Gamepad", 0x054C, 0x0CE6, "A1B2C3D4E5",
                          "Bluetooth", 0.8, "discharging"};
    s.appVersion = "1.4.2";
    s.profile = "PlayStation family profile (typical)";
    auto add = [&](TestKind kind, std::string element, std::vector<Measure> measures, std::vector<std::string> details,
                   std::optional<StickPlot> plot = std::nullopt, std::optional<SoakStrip> strip = std::nullopt) {
        s.results.emplace_back(kind, std::move(element), ValueSource::processed, std::nullopt, "headline of the result",
                               std::move(measures), std::move(details), std::move(plot), std::move(strip), s.date);
    };
    for (const char* stick : {"Left stick", "Right stick"}) {
        add(TestKind::drift, stick,
            {limited("offset", "Rest offset", 0.021 + n % 10 * 0.001, MeasureUnit::percent, 0.04, 0.08),
             limited("noise", "Noise", 0.004, MeasureUnit::percent, 0.01, 0.02),
             Measure{"max", "Farthest point", 0.05, MeasureUnit::percent, std::nullopt}},
            {"Measured for 5 s with the stick let go."});
        StickPlot plot{GateShape::round, 0.98, {}};
        for (int k = 0; k < 72; ++k) plot.radii.push_back(k % 17 == 0 ? std::nullopt : std::optional(0.93 + k * 0.001));
        add(TestKind::circularity, stick,
            {limited("error", "Average error", 0.062, MeasureUnit::percent, 0.08, 0.15),
             limited("coverage", "Directions reached", 0.97, MeasureUnit::percent, 0.9, 0.9, Limit::Direction::below)},
            {"Three turns recorded."}, plot);
        add(TestKind::snapback, stick,
            {limited("worst", "Worst offset", 0.03, MeasureUnit::percent, 0.05, 0.1),
             limited("settle", "Slowest return", 120, MeasureUnit::milliseconds, 250, 400)},
            {"5 releases measured.", "Every release settled."});
        add(TestKind::deadzone, stick, {limited("deadzone", "Inner deadzone", 0.041, MeasureUnit::percent, 0.1, 0.2)},
            {});
    }
    for (const char* trigger : {"Left trigger", "Right trigger"})
        add(TestKind::trigger, trigger,
            {limited("rest", "At rest", 0.0, MeasureUnit::percent, 0.05, 0.1),
             limited("reach", "Full pull", 1.0, MeasureUnit::percent, 0.95, 0.85, Limit::Direction::below),
             limited("jump", "Largest jump", 0.03, MeasureUnit::percent, 0.08, 0.15)},
            {"No dead spots."});
    add(TestKind::buttons, "", {Measure{"pressed", "Buttons pressed", 16, MeasureUnit::count, std::nullopt},
                                limited("chatter", "Chatter", 0, MeasureUnit::count, 0, 1)},
        {"Cross ×3", "Circle ×2"});
    add(TestKind::hold, "", {limited("drops", "Drops", 0, MeasureUnit::count, 0, 1)}, {});
    add(TestKind::dpad, "", {Measure{"directions", "Directions", 8, MeasureUnit::count, std::nullopt}}, {});
    add(TestKind::rumble, "", {}, {"Both motors felt."});
    add(TestKind::lights, "", {}, {"Light bar and player lights seen."});
    add(TestKind::adaptiveTriggers, "", {}, {"Resistance felt on both triggers."});
    add(TestKind::motion, "", {limited("gyro", "Gyro at rest", 0.4, MeasureUnit::degreesPerSecond, 2, 5),
                               Measure{"gravity", "Gravity", 1.0, MeasureUnit::g, std::nullopt}},
        {});
    add(TestKind::touchpad, "", {Measure{"coverage", "Area covered", 0.91, MeasureUnit::percent, std::nullopt}}, {});
    add(TestKind::battery, "", {Measure{"level", "Level", 0.8, MeasureUnit::percent, std::nullopt}}, {});
    add(TestKind::reportRate, "", {Measure{"rate", "Report rate", 250, MeasureUnit::hertz, std::nullopt},
                                   Measure{"gap", "Longest gap", 12, MeasureUnit::milliseconds, std::nullopt}},
        {});
    SoakStrip strip{600, std::vector<SoakStrip::State>(120, SoakStrip::State::ok)};
    strip.bins[40] = SoakStrip::State::gap;
    add(TestKind::soak, "", {limited("gaps", "Dropouts per minute", 0.1, MeasureUnit::count, 0.5, 2),
                             limited("disconnects", "Disconnects", 0, MeasureUnit::count, 0, 0)},
        {"1 dropout of 140 ms at 3:20."}, std::nullopt, strip);
    return s;
}

struct Folder {
    SessionArchive archive;
    Folder() : archive{fs::temp_directory_path() / ("tessarine-bench-" + std::to_string(::getpid()))} {
        archive.eraseAll();
        for (int n = 0; n < sessionCount; ++n) {
            auto s = realisticSession(n);
            s.results.resize(resultsPerSession);
            archive.save(s);
        }
    }
    ~Folder() {
        std::error_code ignored;
        fs::remove_all(archive.folder, ignored);
    }
};

Folder& folder() {
    static Folder shared;
    return shared;
}

void LoadAll(benchmark::State& state) {
    const auto& archive = folder().archive;
    std::size_t loaded = 0;
    for (auto _ : state) {
        auto sessions = archive.loadAll();
        loaded = sessions.size();
        benchmark::DoNotOptimize(sessions);
    }
    if (loaded != sessionCount) state.SkipWithError("not every session loaded");
    state.counters["sessions"] = static_cast<double>(loaded);
}
BENCHMARK(LoadAll)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);

// The same folder read by Python's json module: every "*.json" file not starting with "._",
// parsed, then sorted by date. Python prints the seconds of its own loop.
void PythonJsonLoad(benchmark::State& state) {
    std::string command = "python3 -c '"
                          "import json, os, sys, time\n"
                          "d = sys.argv[1]\n"
                          "t = time.perf_counter()\n"
                          "out = []\n"
                          "for name in os.listdir(d):\n"
                          "    if name.endswith(\".json\") and not name.startswith(\"._\"):\n"
                          "        try:\n"
                          "            with open(os.path.join(d, name), \"rb\") as f: out.append(json.load(f))\n"
                          "        except Exception: pass\n"
                          "out.sort(key=lambda s: s[\"date\"], reverse=True)\n"
                          "print(time.perf_counter() - t, len(out))' " +
                          folder().archive.folder.string();
    for (auto _ : state) {
        FILE* pipe = ::popen(command.c_str(), "r");
        double seconds = 0;
        int count = 0;
        if (!pipe || std::fscanf(pipe, "%lf %d", &seconds, &count) != 2) {
            if (pipe) ::pclose(pipe);
            state.SkipWithError("python3 did not run");
            return;
        }
        ::pclose(pipe);
        if (count != sessionCount) state.SkipWithError("python3 did not load every session");
        state.SetIterationTime(seconds);
    }
}
BENCHMARK(PythonJsonLoad)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

} // namespace
