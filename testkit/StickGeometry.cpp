#include "testkit/StickGeometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace RorozErurEvo {

namespace {
constexpr double pi = std::numbers::pi;
constexpr double twoPi = 2 * std::numbers::pi;
constexpr double quarterPi = std::numbers::pi / 4;

// angle mod 2 pi brought into 0 … 2 pi; the caller has checked that angle is finite.
double wrapAngle(double angle) {
    double a = std::fmod(angle, twoPi);
    if (a < 0) a += twoPi;
    return a;
}
} // namespace

json RawPoint::toJson() const { return json{{"x", x}, {"y", y}}; }

RawPoint RawPoint::fromJson(const json& value) {
    Json::requireObject(value, "raw point");
    return RawPoint{Json::integer(value, "x"), Json::integer(value, "y")};
}

double PlotPoint::radius() const { return std::sqrt(x * x + y * y); }

json PlotPoint::toJson() const { return json{{"x", x}, {"y", y}}; }

PlotPoint PlotPoint::fromJson(const json& value) {
    Json::requireObject(value, "point");
    return PlotPoint{Json::number(value, "x"), Json::number(value, "y")};
}

double StickSample::radius() const { return std::sqrt(x * x + y * y); }
double StickSample::angle() const { return std::atan2(y, x); }
PlotPoint StickSample::point() const { return PlotPoint{x, y}; }

json StickSample::toJson() const {
    json out = {{"t", t}, {"x", x}, {"y", y}};
    if (raw) out["raw"] = raw->toJson();
    return out;
}

StickSample StickSample::fromJson(const json& value) {
    Json::requireObject(value, "stick sample");
    StickSample sample{Json::number(value, "t"), Json::number(value, "x"), Json::number(value, "y"), std::nullopt};
    if (auto it = value.find("raw"); it != value.end() && !it->is_null()) sample.raw = RawPoint::fromJson(*it);
    return sample;
}

// MARK: Direction8

int rawValue(Direction8 direction) { return static_cast<int>(direction); }

std::optional<Direction8> direction8(long long raw) {
    if (raw < 0 || raw > 7) return std::nullopt;
    return static_cast<Direction8>(raw);
}

template <> std::vector<Direction8> allCases<Direction8>() {
    std::vector<Direction8> cases;
    for (int raw = 0; raw < 8; ++raw) cases.push_back(static_cast<Direction8>(raw));
    return cases;
}

std::string name(Direction8 direction) {
    switch (direction) {
    case Direction8::right: return "Right";
    case Direction8::upRight: return "Up-right";
    case Direction8::up: return "Up";
    case Direction8::upLeft: return "Up-left";
    case Direction8::left: return "Left";
    case Direction8::downLeft: return "Down-left";
    case Direction8::down: return "Down";
    case Direction8::downRight: return "Down-right";
    }
    return {};
}

std::string arrow(Direction8 direction) {
    switch (direction) {
    case Direction8::right: return "\u2192";
    case Direction8::upRight: return "\u2197";
    case Direction8::up: return "\u2191";
    case Direction8::upLeft: return "\u2196";
    case Direction8::left: return "\u2190";
    case Direction8::downLeft: return "\u2199";
    case Direction8::down: return "\u2193";
    case Direction8::downRight: return "\u2198";
    }
    return {};
}

bool isDiagonal(Direction8 direction) { return rawValue(direction) % 2 == 1; }

double angle(Direction8 direction) { return rawValue(direction) * pi * 0.25; }

PlotPoint vector(Direction8 direction) {
    double a = angle(direction);
    return PlotPoint{std::cos(a), std::sin(a)};
}

Direction8 nearestDirection(double angle) {
    // A NaN or infinite angle has no direction; converting it to an integer would be undefined.
    if (!std::isfinite(angle)) return Direction8::right;
    double k = std::round(wrapAngle(angle) / quarterPi); // 0 … 8, halves away from zero
    return static_cast<Direction8>(static_cast<int>(k) % 8);
}

json toJson(Direction8 direction) { return rawValue(direction); }

Direction8 direction8FromJson(const json& value) {
    if (value.is_number_integer()) {
        if (auto d = direction8(value.get<long long>())) return *d;
    } else if (value.is_number_float()) {
        double raw = value.get<double>();
        if (raw == std::floor(raw) && raw >= 0 && raw <= 7) return static_cast<Direction8>(static_cast<int>(raw));
    }
    throw DecodeError("a direction must be a whole number from 0 to 7");
}

// MARK: GateShape

std::string title(GateShape gate) {
    switch (gate) {
    case GateShape::round: return "Round";
    case GateShape::octagonN64: return "Octagon (N64)";
    case GateShape::octagonGameCube: return "Octagon (GameCube)";
    case GateShape::square: return "Square";
    }
    return {};
}

double diagonalReach(GateShape gate) {
    switch (gate) {
    case GateShape::round: return 1.0;
    case GateShape::octagonN64: return 1.18;      // diagonal notches sit further out than the cardinals
    case GateShape::octagonGameCube: return 1.0;  // regular octagon, all vertices at radius 1
    case GateShape::square: return std::numbers::sqrt2;
    }
    return 1.0;
}

bool isOctagon(GateShape gate) { return gate == GateShape::octagonN64 || gate == GateShape::octagonGameCube; }

double idealRadius(GateShape gate, double angle) {
    if (gate == GateShape::round) return 1.0;
    return polygonRadius(angle, diagonalReach(gate));
}

std::vector<PlotPoint> outline(GateShape gate, double scale, int points) {
    std::vector<PlotPoint> result;
    if (points <= 0) return result;
    result.reserve(static_cast<std::size_t>(points));
    for (int k = 0; k < points; ++k) {
        double a = twoPi * k / points;
        double r = scale * idealRadius(gate, a);
        result.push_back(PlotPoint{r * std::cos(a), r * std::sin(a)});
    }
    return result;
}

double polygonRadius(double angle, double corner) {
    // A NaN or infinite angle is read as angle 0 rather than turned into an undefined sector.
    double a = std::isfinite(angle) ? wrapAngle(angle) : 0.0;
    int k = static_cast<int>(a / quarterPi); // 0 … 8 (8 only when a rounds up to exactly 2 pi)
    int j = std::min(k, 7);
    double r1 = (k > 7 || j % 2 == 1) ? corner : 1.0;
    double r2 = j % 2 == 1 ? 1.0 : corner;
    double a1 = j * quarterPi, a2 = (j + 1) * quarterPi;
    double v1x = r1 * std::cos(a1), v1y = r1 * std::sin(a1);
    double v2x = r2 * std::cos(a2), v2y = r2 * std::sin(a2);
    double dx = std::cos(a), dy = std::sin(a);
    double denominator = dx * (v2y - v1y) - dy * (v2x - v1x);
    if (!(std::fabs(denominator) > 1e-12)) return r1;
    return (v1x * v2y - v1y * v2x) / denominator;
}

// MARK: Resample

std::optional<StickSample> Resample::value(double time, const std::vector<StickSample>& samples) {
    if (samples.empty() || std::isnan(time) || samples.front().t > time) return std::nullopt;
    auto after = std::upper_bound(samples.begin(), samples.end(), time,
                                  [](double t, const StickSample& s) { return t < s.t; });
    return *std::prev(after);
}

std::vector<StickSample> Resample::hold(std::vector<StickSample> samples, double t0, double t1, double rate,
                                        std::optional<StickSample> initial) {
    std::vector<StickSample> out;
    if (!std::isfinite(t0) || !std::isfinite(t1) || !std::isfinite(rate)) return out;
    if (!(t0 < t1) || !(rate > 0)) return out;
    // The 1e-9 keeps a span that is an exact multiple of the step from losing its last point.
    double steps = std::floor((t1 - t0) * rate + 1e-9);
    // A grid too large to count (huge span times rate) cannot be produced.
    if (!(steps < 9.0e15)) return out;
    auto n = static_cast<long long>(steps) + 1;

    // Stable, so equal times keep their order; a NaN time sorts last and is never held.
    std::stable_sort(samples.begin(), samples.end(), [](const StickSample& a, const StickSample& b) {
        if (std::isnan(a.t)) return false;
        if (std::isnan(b.t)) return true;
        return a.t < b.t;
    });

    std::optional<StickSample> held = initial;
    std::size_t next = 0;
    if (!held) {
        while (next < samples.size() && samples[next].t <= t0) held = samples[next++];
    }
    for (long long k = 0; k < n; ++k) {
        double time = t0 + static_cast<double>(k) / rate;
        while (next < samples.size() && samples[next].t <= time) held = samples[next++];
        if (held) out.push_back(StickSample{time, held->x, held->y, held->raw});
    }
    return out;
}

} // namespace RorozErurEvo
