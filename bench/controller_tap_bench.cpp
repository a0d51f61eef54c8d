// Cost of one controller input event on the input thread: the watcher's look-up of the
// controller's tap, the tap's look-up of the element and one capture-buffer write.
#include <benchmark/benchmark.h>

#include "app/devices/ControllerSource.h"
#include "tests/support/FakeControllerBackend.h"

using namespace Tessarine;

namespace {

ControllerDescription pad(int instance) {
    ControllerDescription d;
    d.instance = instance;
    d.name = "Bench pad";
    d.axes.set();
    d.buttons.set();
    return d;
}

// Stick moves on one of four attached controllers; every value differs from the last, so each
// event is written.
void BM_StickEvent(benchmark::State& state) {
    auto backend = std::make_shared<FakeControllerBackend>();
    ControllerWatcher watcher(backend);
    watcher.start();
    for (int i = 1; i <= 4; ++i) backend->add(pad(i));
    std::int16_t v = 0;
    for (auto _ : state) {
        v = static_cast<std::int16_t>(v + 7);
        backend->axis(3, PadAxis::leftX, v, 0);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_StickEvent);

// Button presses and releases, each an event in the buffer.
void BM_ButtonEvent(benchmark::State& state) {
    auto backend = std::make_shared<FakeControllerBackend>();
    ControllerWatcher watcher(backend);
    watcher.start();
    backend->add(pad(1));
    bool down = false;
    for (auto _ : state) {
        down = !down;
        backend->button(1, PadButton::a, down, 0);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ButtonEvent);

} // namespace
