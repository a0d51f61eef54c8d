#include "testkit/DemoTraces.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>

#include "testkit/Fmt.h"
#include "testkit/SeededRandom.h"

namespace RorozErurEvo::DemoTraces {

namespace {

constexpr double pi = std::numbers::pi;

double clamp(double v) { return std::min(std::max(v, -1.0), 1.0); }

// Int(x): toward zero. Refuses what cannot be a sample count instead of converting it.
std::int64_t count(double x, const char* trace) {
    if (!std::isfinite(x) || x < 0 || x >= static_cast<double>(maxSamples) + 1)
        throw std::invalid_argument(std::string(trace) +
                                    ": the sample count must be finite, not negative and at most " +
                                    Fmt::trim(static_cast<double>(maxSamples), 0));
    return static_cast<std::int64_t>(x);
}

// Sample times divide by the rate, so it must be a positive, finite number of samples a second.
void requireRate(double rate, const char* trace) {
    if (!(rate > 0) || !std::isfinite(rate))
        throw std::invalid_argument(std::string(trace) + ": the rate must be a positive number of samples a second");
}

// A rounded count that saturates at the ends of the 64-bit range instead of overflowing.
std::int64_t roundedCount(double x) {
    constexpr double limit = 9223372036854775808.0; // 2^63
    const double r = std::round(x);
    if (std::isnan(r)) return 0;
    if (r >= limit) return INT64_MAX;
    if (r < -limit) return INT64_MIN;
    return static_cast<std::int64_t>(r);
}

std::optional<RawPoint> rawPoint(double x, double y, const std::optional<CountRange>& range) {
    if (!range) return std::nullopt;
    return RawPoint{raw(x, *range), raw(-y, *range)};
}

StickSample stickAt(double t, double x, double y, const std::optional<CountRange>& range) {
    x = clamp(x);
    y = clamp(y);
    return StickSample{t, x, y, rawPoint(x, y, range)};
}

} // namespace

std::int64_t raw(double value, CountRange range) {
    const double v = std::isnan(value) ? 1.0 : clamp(value);
    const double lo = static_cast<double>(range.lower), hi = static_cast<double>(range.upper);
    return roundedCount((hi - lo) * ((v + 1) * 0.5) + lo);
}

std::vector<StickSample> rotation(GateShape gate, double scale, double turns, double duration, double rate,
                                  double noise, PlotPoint center, std::uint64_t seed, double start,
                                  std::optional<CountRange> rawRange) {
    requireRate(rate, "rotation");
    const auto n = count(duration * rate, "rotation");
    SeededRandom random(seed);
    std::vector<StickSample> samples;
    samples.reserve(static_cast<std::size_t>(n) + 1);
    for (std::int64_t i = 0; i <= n; ++i) {
        const double tau = static_cast<double>(i) / rate;
        // A zero-length rotation is one sample at angle 0, not a division by zero.
        const double a = duration > 0 ? (turns * 2 * pi) * tau / duration : 0.0;
        const double g = idealRadius(gate, a);
        const double r = noise * random.gaussian() + scale * g;
        samples.push_back(stickAt(start + tau, center.x + std::cos(a) * r, center.y + std::sin(a) * r, rawRange));
    }
    return samples;
}

std::vector<StickSample> rest(PlotPoint offset, double noise, double duration, double rate, std::uint64_t seed,
                              double start, std::optional<CountRange> rawRange) {
    requireRate(rate, "rest");
    const auto n = count(duration * rate, "rest");
    SeededRandom random(seed);
    std::vector<StickSample> samples;
    samples.reserve(static_cast<std::size_t>(n) + 1);
    for (std::int64_t i = 0; i <= n; ++i) {
        const double g1 = random.gaussian();
        const double g2 = random.gaussian();
        samples.push_back(
            stickAt(start + static_cast<double>(i) / rate, offset.x + noise * g1, offset.y + noise * g2, rawRange));
    }
    return samples;
}

std::vector<StickSample> releases(const std::vector<Direction8>& directions,
                                  const std::map<Direction8, PlotPoint>& settle, double rate, double springMs,
                                  double start, std::optional<CountRange> rawRange) {
    if (directions.empty()) return {};
    requireRate(rate, "releases");
    const auto nPush = std::max<std::int64_t>(count(rate * 0.25, "releases"), 2);
    const auto nHold = count(rate * 0.3, "releases");
    const auto nSpring = std::max<std::int64_t>(count(rate * (springMs / 1000), "releases"), 2);
    const auto nSettle = std::max<std::int64_t>(count(rate * 0.06, "releases"), 2);
    const auto nRest = count(rate * 0.5, "releases");
    const auto perDirection = nPush + nHold + nSpring + nSettle + nRest;
    if (perDirection > maxSamples / static_cast<std::int64_t>(directions.size()))
        throw std::invalid_argument("releases: too many samples");

    const double dt = 1 / rate;
    double t = start;
    std::vector<StickSample> samples;
    samples.reserve(static_cast<std::size_t>(perDirection) * directions.size());
    auto add = [&](PlotPoint p) {
        samples.push_back(stickAt(t, p.x, p.y, rawRange));
        t += dt;
    };
    auto lerp = [](PlotPoint a, PlotPoint b, double f) { return PlotPoint{a.x + (b.x - a.x) * f, a.y + (b.y - a.y) * f}; };

    PlotPoint previous = PlotPoint::zero;
    for (const auto d : directions) {
        const double a = rawValue(d) * pi / 4;
        const PlotPoint rim{0.98 * std::cos(a), 0.98 * std::sin(a)};
        const auto found = settle.find(d);
        const PlotPoint s = found == settle.end() ? PlotPoint::zero : found->second;
        const PlotPoint over{s.x - 0.04 * std::cos(a), s.y - 0.04 * std::sin(a)};
        for (std::int64_t j = 1; j <= nPush; ++j) add(lerp(previous, rim, double(j) / double(nPush)));
        for (std::int64_t j = 0; j < nHold; ++j) add(rim);
        for (std::int64_t j = 1; j <= nSpring; ++j) add(lerp(rim, over, double(j) / double(nSpring)));
        for (std::int64_t j = 1; j <= nSettle; ++j) add(lerp(over, s, double(j) / double(nSettle)));
        for (std::int64_t j = 0; j < nRest; ++j) add(s);
        previous = s;
    }
    return samples;
}

std::vector<StickSample> slowPush(Direction8 direction, double deadzone, double duration, double rate,
                                  double restTime, double start) {
    requireRate(rate, "slowPush");
    const auto n = count(rate * (duration + restTime), "slowPush");
    const double a = rawValue(direction) * pi / 4;
    std::vector<StickSample> samples;
    samples.reserve(static_cast<std::size_t>(n) + 1);
    for (std::int64_t i = 0; i <= n; ++i) {
        const double tau = static_cast<double>(i) / rate;
        const double f = (tau - restTime) / duration;
        const double c = f > 0 ? std::min(f, 1.0) : 0.0; // NaN (0 / 0) counts as not started
        const double r = c <= deadzone ? 0.0 : c;
        samples.push_back(stickAt(start + tau, std::cos(a) * r, std::sin(a) * r, std::nullopt));
    }
    return samples;
}

std::vector<TriggerSample> triggerPull(std::optional<ClosedRange> deadSpot, double duration, double rate,
                                       double rest, double reach, double noise, std::uint64_t seed, double start,
                                       std::optional<std::int64_t> rawMax) {
    struct Phase {
        double length; // seconds
        int shape;     // 0: at 0, 1: rising f, 2: at 1, 3: falling 1 - f
    };
    requireRate(rate, "triggerPull");
    const Phase phases[] = {{0.4, 0}, {duration, 1}, {0.3, 2}, {0.1, 3}, {0.3, 0}};
    std::int64_t total = 0;
    std::int64_t counts[5];
    for (int k = 0; k < 5; ++k) {
        counts[k] = std::max<std::int64_t>(count(rate * phases[k].length, "triggerPull"), 1);
        total += counts[k];
    }
    if (total > maxSamples) throw std::invalid_argument("triggerPull: too many samples");

    SeededRandom random(seed);
    const double dt = 1 / rate;
    double t = start;
    std::vector<TriggerSample> samples;
    samples.reserve(static_cast<std::size_t>(total));
    for (int k = 0; k < 5; ++k) {
        const auto m = counts[k];
        for (std::int64_t j = 0; j < m; ++j) {
            const double f = double(j) / double(m);
            double s = 0;
            switch (phases[k].shape) {
            case 1: s = f; break;
            case 2: s = 1; break;
            case 3: s = 1 - f; break;
            default: s = 0; break;
            }
            double v = rest + (reach - rest) * s;
            if (deadSpot && deadSpot->lower <= v && v <= deadSpot->upper && 0 < s && s < 1) v = deadSpot->lower;
            v = std::min(v + noise * random.gaussian(), 1.0);
            if (!(v >= 0)) v = 0;
            std::optional<long long> rawCount;
            if (rawMax) rawCount = roundedCount(v * static_cast<double>(*rawMax));
            samples.push_back(TriggerSample{t, v, rawCount});
            t += dt;
        }
    }
    return samples;
}

std::vector<ButtonEvent> presses(const std::vector<std::string>& names, double every, double hold,
                                 const std::set<std::string>& chatterOn, double chatterGapMs, double start) {
    std::vector<ButtonEvent> events;
    events.reserve(names.size() * 4);
    for (std::size_t i = 0; i < names.size(); ++i) {
        const auto& name = names[i];
        const double t0 = start + every * static_cast<double>(i);
        events.push_back({name, true, t0});
        events.push_back({name, false, t0 + hold});
        if (chatterOn.contains(name)) {
            const double bounce = (t0 + hold) + chatterGapMs / 1000;
            events.push_back({name, true, bounce});
            events.push_back({name, false, bounce + 0.006});
        }
    }
    return events;
}

std::vector<StickSample> dpadSweep(const std::vector<Direction8>& directions, double rate, double start) {
    requireRate(rate, "dpadSweep");
    const auto nPress = count(rate * 0.15, "dpadSweep");
    const auto nGap = count(rate * 0.1, "dpadSweep");
    if (!directions.empty() && nPress + nGap > maxSamples / static_cast<std::int64_t>(directions.size()))
        throw std::invalid_argument("dpadSweep: too many samples");
    const double dt = 1 / rate;
    double t = start;
    std::vector<StickSample> samples;
    samples.reserve(static_cast<std::size_t>(nPress + nGap) * directions.size());
    auto side = [](double c) { return std::abs(c) < 0.01 ? 0.0 : (c > 0 ? 1.0 : -1.0); };
    for (const auto d : directions) {
        const double a = rawValue(d) * pi / 4;
        const double x = side(std::cos(a)), y = side(std::sin(a));
        for (std::int64_t j = 0; j < nPress; ++j, t += dt) samples.push_back({t, x, y, std::nullopt});
        for (std::int64_t j = 0; j < nGap; ++j, t += dt) samples.push_back({t, 0, 0, std::nullopt});
    }
    return samples;
}

MotionTrace motion(double restSeconds, double moveSeconds, double rate, std::uint64_t seed, double start) {
    requireRate(rate, "motion");
    const auto nRest = count(restSeconds * rate, "motion");
    const auto nMove = count(moveSeconds * rate, "motion");
    MotionTrace trace;
    trace.rest.reserve(static_cast<std::size_t>(nRest));
    trace.moving.reserve(static_cast<std::size_t>(nMove));
    SeededRandom random(seed);
    for (std::int64_t i = 0; i < nRest; ++i) {
        const double g1 = random.gaussian(), g2 = random.gaussian(), g3 = random.gaussian();
        const double g4 = random.gaussian(), g5 = random.gaussian(), g6 = random.gaussian();
        trace.rest.push_back({start + static_cast<double>(i) / rate, Vector3{0.004 * g1, 0.004 * g2, 0.004 * g3},
                              Vector3{0.01 * g4, 0.01 * g5 - 1.0, 0.01 * g6}});
    }
    for (std::int64_t i = 0; i < nMove; ++i) {
        const double tau = static_cast<double>(i) / rate;
        trace.moving.push_back(
            {restSeconds + start + tau,
             Vector3{0.4 * std::sin(5 * tau), 3.0 * std::sin(4 * tau), 1.2 * std::cos(3 * tau)},
             Vector3{0.3 * std::sin(4 * tau), -std::cos(4 * tau), 0.2 * std::cos(3 * tau)}});
    }
    return trace;
}

std::vector<TouchSample> touches(double duration, double rate, double start) {
    requireRate(rate, "touches");
    const auto n = count(duration * rate, "touches");
    std::vector<TouchSample> samples;
    if (n == 0) return samples;
    samples.reserve(static_cast<std::size_t>(n) * 2);
    for (std::int64_t i = 0; i < n; ++i) {
        const double tau = static_cast<double>(i) / rate;
        const double p = tau / duration;
        const double a = 0.5 - 0.5 * std::cos(4 * pi * p);
        const double x = 1.9 * a - 0.95;
        // Two sweeps across, each finger bobbing up and down five times over the whole run in its
        // own half: together they reach well over the share of the surface that ends the
        // touchpad test by itself, as a user drawing over the pad would.
        samples.push_back({start + tau, 0, x, 0.8 * std::abs(std::sin(5 * pi * p)) + 0.15});
        samples.push_back({start + tau, 1, -x, -0.8 * std::abs(std::cos(5 * pi * p)) - 0.15});
    }
    return samples;
}

} // namespace RorozErurEvo::DemoTraces
