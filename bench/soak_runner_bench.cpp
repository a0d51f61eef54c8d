// One second of a wireless soak run of a pad with a raw partner, as a real run takes it in:
// the pad's own stick reports at 1 kHz, its motion samples at 1 kHz and its raw partner's HID
// reports at 1 kHz, ten minutes, an hour and eight hours into the run. A second is four intake
// ticks (each reads only the quarter second of new reports) and the live analysis of the run
// so far. Target: under 0.5 ms of CPU time whatever the run's length, so the soak card never
// stutters late in a long run, and the process under 200 MB resident eight hours in.
#include "tests/app/model/ModelFakes.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <unistd.h>

#include "bench/PadStream.h"

using namespace Tessarine;

namespace {

// Resident memory of the process, megabytes.
double residentMB() {
    long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(f);
    }
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / 1e6;
}

constexpr double reportRate = 1000; // reports per second of each stream
// Seconds between the intake ticks of the warm-up: often enough that no stream's log is cut
// before it is read, rarely enough that the warm-up does not analyse the run every second.
constexpr double warmUpTick = 10;

// The partner's reports: the user keeps the stick moving, so X changes from report to report;
// the other axes rest.
std::vector<std::vector<std::uint8_t>> partnerStream() {
    auto reports = PadStream::reports(16384);
    for (auto& r : reports) r[2] = r[3] = r[4] = 128;
    return reports;
}

struct Run {
    Fakes::Bench bench{false};
    std::shared_ptr<InputDevice> pad = Fakes::controller("gc-1", "Wireless Pad", "SN-1");
    std::shared_ptr<HIDTap> partner;
    std::vector<std::vector<std::uint8_t>> stream = partnerStream();
    std::size_t sent = 0;
    double now = 0;

    explicit Run(double minutesIn) {
        AppModel& model = *bench.model;
        partner = std::make_shared<HIDTap>(7, "/dev/hidraw7", RorozErurEvo::DeviceInfo{.name = "Wireless Pad"},
                                           RorozErurEvo::HIDDescriptor::parse(PadStream::descriptor()), bench.clock);
        bench.hid->plug(partner->key(), partner);
        bench.controllers->list = {pad};
        model.refreshControllers();
        model.refreshHID();
        model.deviceLists().setPartner("hid-7", *pad);
        SoakRunner& soak = *model.soak();
        soak.setSleepInhibitor(nullptr);
        soak.start(*pad, 2 * minutesIn + 10); // never ends while measuring
        now = bench.clock.now();
        const double until = now + minutesIn * 60;
        while (now + warmUpTick <= until) advance(warmUpTick);
        while (now < until) advance(0.25);
    }

    // The three streams from now to now + seconds, then one tick.
    void feed(double seconds) {
        CaptureBuffer& buffer = pad->buffer();
        const double to = now + seconds;
        for (double t = now; t < to; t += 1 / reportRate, ++sent) {
            const double x = 0.02 * std::sin(t * 7), y = 0.02 * std::cos(t * 5);
            buffer.recordStick("leftx", x, y, std::nullopt, t);
            buffer.recordMotion(RorozErurEvo::MotionSample{t + 0.0003, RorozErurEvo::Vector3{0.01 * x, 0, 0},
                                                           RorozErurEvo::Vector3{0, -1, 0}});
            partner->inputReport(stream[sent & 16383], t + 0.0006);
        }
        now = to;
    }
    void advance(double seconds) {
        feed(seconds);
        bench.model->soak()->tick(now);
    }
};

void soakSecond(benchmark::State& state) {
    Run run(static_cast<double>(state.range(0)));
    SoakRunner& soak = *run.bench.model->soak();
    for (auto _ : state) {
        for (int quarter = 0; quarter < 4; ++quarter) {
            state.PauseTiming();
            run.feed(0.25);
            state.ResumeTiming();
            soak.tick(run.now);
        }
    }
    if (!soak.isRunning()) state.SkipWithError("the run ended");
    state.counters["reports"] = static_cast<double>(soak.reportCount());
    state.counters["residentMB"] = residentMB();
}
BENCHMARK(soakSecond)->Name("BM_SoakSecondWithMotionAndPartner")->ArgName("minutes")->Arg(10)->Arg(60)->Arg(480)
    ->Iterations(20)->Unit(benchmark::kMillisecond);

} // namespace
