// The first report of a raw HID device with thousands of input elements: every element's first
// value, recorded into a fresh capture buffer on the HID thread, as when such a device is opened.
// It costs time linear in the elements, however many the parser takes.
// Target: under 1 ms at 16,384 elements (the parser's limit for one device: 8,192 axes and as many
// buttons), so that it never holds the buffer's lock for a frame.
#include <benchmark/benchmark.h>

#include <memory>

#include "app/devices/HIDTap.h"
#include "tests/support/HIDDescriptors.h"
#include "testkit/HIDDescriptor.h"

using namespace RorozErurEvo;

namespace {

void BM_FirstReportOfAWideDevice(benchmark::State& state) {
    const auto elements = static_cast<unsigned>(state.range(0));
    const HIDDescriptor descriptor = HIDDescriptor::parse(HIDTestDescriptors::wide(elements / 2, elements / 2));
    if (descriptor.elements.size() != elements) state.SkipWithError("the descriptor is not as wide as asked");
    const auto report = HIDTestDescriptors::wideReport(elements / 2, elements / 2);
    for (auto _ : state) {
        state.PauseTiming();
        auto tap = std::make_unique<Tessarine::HIDTap>(1, "/dev/hidraw-bench", DeviceInfo{.name = "Wide"}, descriptor);
        state.ResumeTiming();
        tap->inputReport(report, 1.0);
        state.PauseTiming();
        if (tap->capture()->snapshot().axes.size() != elements / 2) state.SkipWithError("values went missing");
        tap.reset();
        state.ResumeTiming();
    }
    state.counters["per_element"] = benchmark::Counter(
        static_cast<double>(elements), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_FirstReportOfAWideDevice)->Arg(1024)->Arg(4096)->Arg(16384)->Unit(benchmark::kMicrosecond)->Iterations(20);

} // namespace
