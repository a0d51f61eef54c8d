#pragma once
// How round a stick's reach is: the edge reached in each of 72 sectors of 5 degrees, judged
// against the ideal edge of a gate shape, optionally fitted to the stick's own reach.
#include <array>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "testkit/Date.h"
#include "testkit/Json.h"
#include "testkit/StickGeometry.h"
#include "testkit/TestResult.h"
#include "testkit/Thresholds.h"

namespace RorozErurEvo {

// The reach of one compass octant (9 sectors).
struct OctantReach {
    Direction8 direction = Direction8::right;
    std::optional<double> minReach; // smallest of the visited sectors' largest radii, stick units
    std::optional<double> maxReach; // largest of the same
    std::optional<RawPoint> raw;    // raw counts at the edge in this direction

    json toJson() const;
    static OctantReach fromJson(const json& object);
    friend bool operator==(const OctantReach&, const OctantReach&) = default;
};

struct CircularityReport {
    GateShape gate = GateShape::round;
    double scale = 1;                         // reference reach: 1, or the median sector reach when fitted
    std::vector<std::optional<double>> radii; // per sector, the radius to draw
    std::vector<std::optional<double>> reach; // per sector, largest radius as a share of the gate's edge
    double averageError = 0;                  // mean |reach / scale - 1| over visited sectors
    double coverage = 0;                      // visited / sectorCount
    double turns = 0;                         // net turns
    std::vector<OctantReach> octants;         // one per Direction8, in raw order
    int visited = 0;
    int shortSectors = 0;
    std::vector<Direction8> shortDirections;

    friend bool operator==(const CircularityReport&, const CircularityReport&) = default;
};

struct CircularityProgress {
    double coverage = 0; // share of sectors holding a sample at minRadius or more
    double turns = 0;
    friend bool operator==(const CircularityProgress&, const CircularityProgress&) = default;
};

namespace CircularityAnalysis {

inline constexpr int sectorCount = 72;    // sectors of 5 degrees
inline constexpr double minRadius = 0.25; // stick units; nearer readings are not binned
inline constexpr double turnRadius = 0.4; // stick units; turns are counted only this far out

// Sector of an angle in radians; sector 0 starts at -22.5 degrees. A non-finite angle gives 0.
int sector(double angle);
// Centre angle of a sector in radians (k x 5 - 20 degrees).
double centerAngle(int sector);
// Net turns of the readings in the order given, counted only at radius minRadius or more; a
// dip below that radius restarts the chain of angles.
double turns(std::span<const StickSample> samples, double minRadius);
// Live progress while the stick turns; no gate involved.
CircularityProgress progress(std::span<const StickSample> samples);

// The same progress for a recording that only grows, fed piece by piece as it arrives, so a
// running test pays for each reading once instead of on every frame: after any sequence of
// add() calls, progress() equals progress() of all the readings in the order fed.
class ProgressCounter {
public:
    void add(std::span<const StickSample> samples);
    CircularityProgress progress() const;

private:
    std::array<bool, sectorCount> seen_{};
    int visited_ = 0;
    double total_ = 0;    // signed angle turned, radians
    double previous_ = 0; // angle of the last reading in the chain
    bool hasPrevious_ = false;
};

// The outline of the live plot for a recording that only grows: the largest reach per sector
// against one gate, fed piece by piece. After any sequence of add() calls, plot() has the
// gate, scale and radii that analyze() gives for all the readings fed.
class ReachCounter {
public:
    ReachCounter() = default;
    explicit ReachCounter(GateShape gate) : gate_(gate) {}
    GateShape gate() const { return gate_; }
    void add(std::span<const StickSample> samples);
    StickPlot plot(bool fitScale) const;

private:
    GateShape gate_ = GateShape::round;
    std::array<std::optional<double>, sectorCount> reach_{}; // share of the gate's edge
};

CircularityReport analyze(std::span<const StickSample> samples, GateShape gate, bool fitScale,
                          const Thresholds& thresholds);

TestResult result(std::span<const StickSample> samples, const std::string& element, ValueSource source,
                  GateShape gate, bool fitScale, const Thresholds& thresholds, Date date);

} // namespace CircularityAnalysis
} // namespace RorozErurEvo
