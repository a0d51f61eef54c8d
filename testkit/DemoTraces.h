#pragma once
// Synthetic recordings for the demo controller: a stick circling its gate or resting, releases
// from the rim, a slow push through the dead zone, a trigger pull, button presses with optional
// chatter, a d-pad sweep, motion and two-finger touches. Pure functions: the same parameters
// and seed always give the same samples, bit for bit.
//
// Times are seconds from `start`; "indexed" traces compute sample i at start + i / rate,
// "running" traces add 1 / rate to a running sum. Stick coordinates are clamped to -1 … 1.
// Sample counts come from duration × rate; a rate that is not positive and finite, or a count
// that is not finite, negative or beyond maxSamples, is refused with std::invalid_argument
// rather than turned into garbage.
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "testkit/Samples.h"
#include "testkit/SkipSearch.h"
#include "testkit/StickGeometry.h"

namespace RorozErurEvo {

// A closed range of raw HID counts, lower … upper.
struct CountRange {
    std::int64_t lower = 0;
    std::int64_t upper = 0;
    friend bool operator==(const CountRange&, const CountRange&) = default;
};

namespace DemoTraces {

// The largest number of samples one trace will make.
inline constexpr std::int64_t maxSamples = 10'000'000;

struct MotionTrace {
    std::vector<MotionSample> rest;   // the controller lying still
    std::vector<MotionSample> moving; // the controller turned around
    friend bool operator==(const MotionTrace&, const MotionTrace&) = default;
};

// The count of a value in -1 … 1 (NaN counts as 1) on a range; halves round away from zero.
std::int64_t raw(double value, CountRange range);

std::vector<StickSample> rotation(GateShape gate, double scale, double turns, double duration, double rate,
                                  double noise, PlotPoint center, std::uint64_t seed, double start,
                                  std::optional<CountRange> rawRange);
std::vector<StickSample> rest(PlotPoint offset, double noise, double duration, double rate, std::uint64_t seed,
                              double start, std::optional<CountRange> rawRange);
std::vector<StickSample> releases(const std::vector<Direction8>& directions,
                                  const std::map<Direction8, PlotPoint>& settle, double rate, double springMs,
                                  double start, std::optional<CountRange> rawRange);
std::vector<StickSample> slowPush(Direction8 direction, double deadzone, double duration, double rate,
                                  double restTime, double start);
std::vector<TriggerSample> triggerPull(std::optional<ClosedRange> deadSpot, double duration, double rate,
                                       double rest, double reach, double noise, std::uint64_t seed, double start,
                                       std::optional<std::int64_t> rawMax);
std::vector<ButtonEvent> presses(const std::vector<std::string>& names, double every, double hold,
                                 const std::set<std::string>& chatterOn, double chatterGapMs, double start);
std::vector<StickSample> dpadSweep(const std::vector<Direction8>& directions, double rate, double start);
MotionTrace motion(double restSeconds, double moveSeconds, double rate, std::uint64_t seed, double start);
std::vector<TouchSample> touches(double duration, double rate, double start);

} // namespace DemoTraces
} // namespace RorozErurEvo
