// One frame of the application model with eight controllers in view (the batch view), each
// fed at 1 kHz: two sticks and two triggers per report, with a button press now and then.
// Also eight raw HID pads in view at 1 and 8 kHz (the USB high-speed limit) with a drift test
// running on one of them: every frame refreshes each element's live value, jitter and report
// rate. Target: a whole tick under 1 ms, so the 60 Hz frame keeps most of its 16.7 ms for
// drawing.
#include "tests/app/model/ModelFakes.h"

#include "bench/RawPads.h"

#include <benchmark/benchmark.h>

#include <cmath>

using namespace Tessarine;

namespace {

constexpr int deviceCount = 8;
constexpr double reportRate = 1000;    // reports per second per device
constexpr double history = 10;         // seconds of samples already logged before measuring

std::vector<ElementInfo> padElements() {
    auto element = [](std::string id, ElementInfo::Kind kind, ElementInfo::Role role) {
        ElementInfo e;
        e.id = std::move(id);
        e.kind = kind;
        e.role = role;
        e.name = e.id;
        e.analog = kind != ElementInfo::Kind::button;
        return e;
    };
    using K = ElementInfo::Kind;
    using R = ElementInfo::Role;
    return {element("left", K::stick, R::leftStick),      element("right", K::stick, R::rightStick),
            element("lt", K::trigger, R::leftTrigger),    element("rt", K::trigger, R::rightTrigger),
            element("a", K::button, R::south),            element("b", K::button, R::east)};
}

// Logs every report of every device from `from` up to `to` (seconds of uptime).
void feed(const AppModel::Devices& devices, double from, double to) {
    const double step = 1 / reportRate;
    for (const auto& device : devices) {
        CaptureBuffer& buffer = device->buffer();
        for (double t = from; t < to; t += step) {
            const double x = 0.02 * std::sin(t * 7), y = 0.02 * std::cos(t * 5);
            buffer.recordStick("left", x, y, std::nullopt, t);
            buffer.recordStick("right", -y, x, std::nullopt, t);
            buffer.recordAxis("lt", 0.5 + 0.5 * std::sin(t), std::nullopt, t);
            buffer.recordAxis("rt", 0.5 + 0.5 * std::cos(t), std::nullopt, t);
            if (static_cast<long>(t * reportRate) % 250 == 0) buffer.recordButton("a", static_cast<long>(t * 4) % 2 == 0, t);
        }
    }
}

void BM_ModelTickEightDevicesAt1kHz(benchmark::State& state) {
    Fakes::Bench bench(false);
    AppModel& model = *bench.model;
    for (int i = 0; i < deviceCount; ++i)
        bench.controllers->list.push_back(std::make_shared<InputDevice>(
            "gc-" + std::to_string(i), InputDevice::Kind::controller, RorozErurEvo::DeviceInfo{.name = "Pad"}, padElements()));
    model.refreshControllers();
    model.navigation().setSelection(SidebarItem::batch());
    const AppModel::Devices pads = model.controllerDevices();

    double now = 1000;
    feed(pads, now - history, now);
    for (auto _ : state) {
        state.PauseTiming();
        feed(pads, now, now + AppModel::frameInterval);
        now += AppModel::frameInterval;
        state.ResumeTiming();
        model.tick(now);
    }
    state.counters["devices"] = static_cast<double>(model.visibleDevices().size());
}
BENCHMARK(BM_ModelTickEightDevicesAt1kHz)->Unit(benchmark::kMicrosecond);

// Eight raw pads, each fed its own report stream at state.range(0) reports per second, in the
// batch view with a drift test running on the first pad's stick.
void BM_ModelTickEightRawPads(benchmark::State& state) {
    Fakes::Bench bench(false);
    AppModel& model = *bench.model;
    const double rate = static_cast<double>(state.range(0));
    const RawPads::Pads pads = RawPads::plug(bench, deviceCount, 16384, bench.clock);
    const auto& taps = pads.taps;
    const auto& streams = pads.streams;

    std::size_t sent = 0;
    auto feedRaw = [&](double from, double to) {
        for (double t = from; t < to; t += 1 / rate, ++sent)
            for (std::size_t i = 0; i < taps.size(); ++i) taps[i]->inputReport(streams[i][sent & 16383], t);
    };
    double now = bench.clock.now();
    feedRaw(now - 2, now);
    const auto first = RawPads::startLongDrift(model);
    for (auto _ : state) {
        state.PauseTiming();
        feedRaw(now, now + AppModel::frameInterval);
        now += AppModel::frameInterval;
        state.ResumeTiming();
        model.tick(now);
    }
    if (!model.runner(first).active()) state.SkipWithError("the drift test is not running");
    state.counters["devices"] = static_cast<double>(model.visibleDevices().size());
}
BENCHMARK(BM_ModelTickEightRawPads)->Arg(1000)->Arg(8000)->Unit(benchmark::kMicrosecond)->Iterations(300);

} // namespace
