#pragma once
// Two-axis stick input and the geometry every stick test shares. Stick space: x to the right,
// y up, both nominally -1 … 1; angles in radians, counter-clockwise from +x.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "testkit/Enum.h"
#include "testkit/Json.h"

namespace RorozErurEvo {

// Raw HID counts of a stick's two axes.
struct RawPoint {
    std::int64_t x = 0;
    std::int64_t y = 0;

    json toJson() const;
    static RawPoint fromJson(const json& value);

    friend bool operator==(const RawPoint&, const RawPoint&) = default;
};

// A point in stick space.
struct PlotPoint {
    double x = 0;
    double y = 0;

    static const PlotPoint zero;

    double radius() const;

    json toJson() const;
    static PlotPoint fromJson(const json& value);

    friend bool operator==(const PlotPoint&, const PlotPoint&) = default;
};
inline constexpr PlotPoint PlotPoint::zero{0, 0};

// One stick reading. `t` is seconds of uptime; only differences matter.
struct StickSample {
    double t = 0;
    double x = 0;
    double y = 0;
    std::optional<RawPoint> raw; // the raw counts of the same reading, when the source has them

    double radius() const;
    double angle() const; // atan2(y, x), -pi … pi
    PlotPoint point() const;

    // Keys t, x, y and raw ("raw" left out when absent).
    json toJson() const;
    static StickSample fromJson(const json& value);

    friend bool operator==(const StickSample&, const StickSample&) = default;
};

// The eight compass directions, raw values 0 … 7 counter-clockwise from right. Stored in JSON as
// the raw number.
enum class Direction8 : int { right = 0, upRight, up, upLeft, left, downLeft, down, downRight };

// Raw value (0 … 7). Chosen over the generic rawValue template for this integer-valued enum.
int rawValue(Direction8 direction);
// The direction of a raw value; absent outside 0 … 7.
std::optional<Direction8> direction8(long long raw);
template <> std::vector<Direction8> allCases<Direction8>();
std::string name(Direction8 direction);    // "Right", "Up-right", …
std::string arrow(Direction8 direction);   // "→", "↗", …
bool isDiagonal(Direction8 direction);
double angle(Direction8 direction);        // raw × pi/4
PlotPoint vector(Direction8 direction);    // unit length, so diagonals are (0.7071…, 0.7071…)
// The direction nearest to an angle (halves round away from zero, so pi/8 is upRight). A NaN or
// infinite angle gives `right`.
Direction8 nearestDirection(double angle);
json toJson(Direction8 direction);
// Throws DecodeError unless the value is a whole number 0 … 7.
Direction8 direction8FromJson(const json& value);

// The outline a stick moves in.
enum class GateShape { round, octagonN64, octagonGameCube, square };

template <> struct EnumTable<GateShape> {
    static constexpr std::array entries{EnumEntry{GateShape::round, "round"},
                                        EnumEntry{GateShape::octagonN64, "octagonN64"},
                                        EnumEntry{GateShape::octagonGameCube, "octagonGameCube"},
                                        EnumEntry{GateShape::square, "square"}};
};

std::string title(GateShape gate);         // "Round", "Octagon (N64)", …
// Radius of the diagonal corners when the cardinal points lie at radius 1.
double diagonalReach(GateShape gate);
bool isOctagon(GateShape gate);
// Ideal edge radius of the gate along the ray at `angle`.
double idealRadius(GateShape gate, double angle);
// `points` points around the gate scaled by `scale`, starting at angle 0; empty for a count ≤ 0.
std::vector<PlotPoint> outline(GateShape gate, double scale, int points);
// Distance from the centre to the edge of an octagon with cardinal vertices at radius 1 and
// diagonal vertices at `corner`, along the ray at `angle`. A NaN or infinite angle is taken as 0.
double polygonRadius(double angle, double corner);

// Sample-and-hold of an irregular stick recording onto a fixed time grid.
namespace Resample {
// The last sample with t <= time in samples sorted by t; absent when there is none (or time is NaN).
std::optional<StickSample> value(double time, const std::vector<StickSample>& samples);
// Samples spaced exactly 1/rate apart from t0 to t1 (inclusive when on the grid), each carrying
// the value held at its time; grid points before anything is held are skipped. Empty unless
// t0 < t1 and rate > 0, all three finite.
std::vector<StickSample> hold(std::vector<StickSample> samples, double t0, double t1, double rate,
                              std::optional<StickSample> initial);
} // namespace Resample

} // namespace RorozErurEvo

template <> struct std::hash<RorozErurEvo::RawPoint> {
    std::size_t operator()(const RorozErurEvo::RawPoint& p) const noexcept {
        std::size_t h = std::hash<std::int64_t>{}(p.x);
        return h ^ (std::hash<std::int64_t>{}(p.y) + 0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2));
    }
};

template <> struct std::hash<RorozErurEvo::PlotPoint> {
    std::size_t operator()(const RorozErurEvo::PlotPoint& p) const noexcept {
        // +0.0 and -0.0 compare equal, so they must hash equal.
        double x = p.x == 0 ? 0.0 : p.x;
        double y = p.y == 0 ? 0.0 : p.y;
        std::size_t h = std::hash<double>{}(x);
        return h ^ (std::hash<double>{}(y) + 0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2));
    }
};
