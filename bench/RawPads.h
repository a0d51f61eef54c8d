#pragma once
// Raw HID pads plugged into a model over fakes, with the batch view in sight, and a drift test
// that keeps measuring on the first of them: what the benchmarks that tick a model while pads
// send reports share.
#include "tests/app/model/ModelFakes.h"

#include "bench/PadStream.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace RawPads {

struct Pads {
    std::vector<std::shared_ptr<Tessarine::HIDTap>> taps;
    std::vector<std::vector<std::vector<std::uint8_t>>> streams; // `length` reports for each tap
};

// `count` pads stamped by `clock`, each with a stream of its own.
inline Pads plug(Tessarine::Fakes::Bench& bench, int count, std::size_t length, const Tessarine::Clock& clock) {
    Pads pads;
    for (int i = 0; i < count; ++i) {
        auto tap = std::make_shared<Tessarine::HIDTap>(
            static_cast<std::uint64_t>(i + 1), "/dev/hidraw" + std::to_string(i), RorozErurEvo::DeviceInfo{.name = "Pad"},
            RorozErurEvo::HIDDescriptor::parse(PadStream::descriptor()), clock);
        bench.hid->plug(tap->key(), tap);
        pads.taps.push_back(tap);
        pads.streams.push_back(PadStream::reports(length, static_cast<unsigned>(i + 1)));
    }
    bench.model->refreshHID();
    bench.model->navigation().setSelection(Tessarine::SidebarItem::batch());
    return pads;
}

// Starts a drift test on the first pad's left stick that is still measuring while a benchmark
// runs; gives the pad, to check at the end that the test never stopped.
inline auto startLongDrift(Tessarine::AppModel& model) {
    auto thresholds = model.thresholds();
    thresholds.driftSeconds = 600;
    model.settings().setUseFamilyProfiles(false);
    model.settings().setThresholds(thresholds);
    const auto first = model.allHID().front();
    model.runner(first).start(
        RorozErurEvo::GuidedTest{RorozErurEvo::TestKind::drift, "Left stick", RorozErurEvo::GuidedTest::Target::stick("pair-1"), false});
    return first;
}

} // namespace RawPads
