// One frame of the Raw HID tab's element table with 64 elements whose every value changed: the
// device's live statistics recomputed and every changed cell written.

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "app/devices/InputDevice.h"
#include "app/views/raw/ElementTable.h"

namespace {

using namespace Tessarine;

constexpr int elementCount = 64;

void rawTableFrame(benchmark::State& state) {
    std::vector<ElementInfo> elements;
    for (int i = 0; i < elementCount; ++i) {
        ElementInfo e;
        e.id = "e" + std::to_string(i);
        e.name = "Axis " + std::to_string(i);
        e.kind = ElementInfo::Kind::axis;
        e.page = 1;
        e.usage = 0x30 + i % 8;
        e.logicalMin = 0;
        e.logicalMax = 4095;
        elements.push_back(e);
    }
    auto device = std::make_shared<InputDevice>("hid-1", InputDevice::Kind::hid, RorozErurEvo::DeviceInfo{.name = "Panel"},
                                                elements);
    ElementTable table(device);
    table.setAttribute(Qt::WA_DontShowOnScreen);
    table.show();
    double t = 100;
    int frame = 0;
    for (auto _ : state) {
        // Every element reported a new value since the last frame (4 reports each at 250 Hz).
        state.PauseTiming();
        ++frame;
        for (int r = 0; r < 4; ++r) {
            t += 0.004;
            for (int i = 0; i < elementCount; ++i)
                device->capture()->recordRaw(elements[size_t(i)].id, (frame * 37 + i * 11 + r) % 4096, t);
        }
        state.ResumeTiming();
        device->update(t, 1.5);
        benchmark::DoNotOptimize(table.rows().data());
    }
}
BENCHMARK(rawTableFrame)->Unit(benchmark::kMicrosecond);

} // namespace
