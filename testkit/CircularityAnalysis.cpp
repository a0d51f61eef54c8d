#include "testkit/CircularityAnalysis.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "testkit/Fmt.h"
#include "testkit/TimeOrderedSamples.h"
#include "testkit/VerdictReasons.h"

namespace RorozErurEvo::CircularityAnalysis {
namespace {

constexpr double pi = std::numbers::pi;

// Sums the signed angle turned between consecutive qualifying readings; the state lives with
// the caller so that a counter can carry on across calls.
struct TurnCounter {
    double& total;
    double& previous;
    bool& hasPrevious;

    void add(bool qualifies, double angle) {
        if (!qualifies) {
            hasPrevious = false;
            return;
        }
        if (hasPrevious) {
            double d = angle - previous;
            if (d > pi)
                d -= 2 * pi;
            else if (d < -pi)
                d += 2 * pi;
            total += d;
        }
        previous = angle;
        hasPrevious = true;
    }
};

double turnsOf(double total) { return std::abs(total) / (2 * pi); }

// The gate's ideal edge radius along a reading's ray: the same octagon as idealRadius, with the
// eight edges built once per analysis and the ray taken from the reading's own unit vector.
// Six sines and cosines per reading made a minute-long window several times slower.
class GateEdge {
public:
    explicit GateEdge(GateShape gate) : round_(gate == GateShape::round) {
        const double corner = diagonalReach(gate);
        constexpr double quarterPi = pi / 4;
        for (int j = 0; j < 8; ++j) {
            auto& e = edges_[static_cast<std::size_t>(j)];
            // Cardinal vertices lie at radius 1, diagonal ones at the gate's corner radius.
            e.r1 = j % 2 == 1 ? corner : 1.0;
            const double r2 = j % 2 == 1 ? 1.0 : corner;
            const double v1x = e.r1 * std::cos(j * quarterPi), v1y = e.r1 * std::sin(j * quarterPi);
            const double v2x = r2 * std::cos((j + 1) * quarterPi), v2y = r2 * std::sin((j + 1) * quarterPi);
            e.dy = v2y - v1y;
            e.dx = v2x - v1x;
            e.cross = v1x * v2y - v1y * v2x;
        }
    }

    // `angle` is the reading's atan2 (-pi ... pi); (ux, uy) its unit vector.
    double radius(double angle, double ux, double uy) const {
        if (round_) return 1.0;
        const double a = angle < 0 ? angle + 2 * pi : angle;
        const auto j = static_cast<std::size_t>(std::min(static_cast<int>(a / (pi / 4)), 7));
        const Edge& e = edges_[j];
        const double denominator = ux * e.dy - uy * e.dx;
        if (!(std::abs(denominator) > 1e-12)) return e.r1;
        return e.cross / denominator;
    }

private:
    struct Edge {
        double r1 = 1, dx = 0, dy = 0, cross = 0;
    };
    bool round_;
    std::array<Edge, 8> edges_{};
};

std::string octantText(const OctantReach& octant) {
    std::string text = arrow(octant.direction) + " ";
    if (!octant.minReach || !octant.maxReach) return text + "\u2013";
    const std::string low = Fmt::trim(*octant.minReach * 100, 0);
    const std::string high = Fmt::trim(*octant.maxReach * 100, 0);
    return text + low + (low == high ? "" : "\u2013" + high) + "%";
}

template <class Range, class Text>
std::string joined(const Range& items, const std::string& separator, Text text) {
    std::string out;
    for (const auto& item : items) {
        if (!out.empty()) out += separator;
        out += text(item);
    }
    return out;
}

// Calls visit(sample, radius, angle, sector) for each usable reading at binRadius or more, in
// the order given, and returns the turns counted on the way at turnRadius (>= binRadius) or more.
template <class Visit>
void walk(std::span<const StickSample> samples, double binRadius, double turnRadius, TurnCounter counter,
          Visit visit) {
    for (const auto& s : samples) {
        if (!isUsable(s)) continue;
        const double r = s.radius();
        if (!std::isfinite(r)) continue; // coordinates too large to square
        if (r < binRadius) {
            counter.add(false, 0);
            continue;
        }
        const double a = std::atan2(s.y, s.x);
        counter.add(r >= turnRadius, a);
        visit(s, r, a, sector(a));
    }
}

template <class Visit>
double walk(std::span<const StickSample> samples, double binRadius, double turnRadius, Visit visit) {
    double total = 0, previous = 0;
    bool hasPrevious = false;
    walk(samples, binRadius, turnRadius, TurnCounter{total, previous, hasPrevious}, visit);
    return turnsOf(total);
}

// The fitted scale: the median reach of the visited sectors (1 when none was visited).
double fittedScale(const std::array<std::optional<double>, sectorCount>& reach) {
    std::vector<double> visited;
    visited.reserve(sectorCount);
    for (const auto& value : reach)
        if (value) visited.push_back(*value);
    return Stats::median(visited).value_or(1.0);
}

// The radius to draw per sector: the reach times the gate's ideal radius at the sector's centre.
std::vector<std::optional<double>> radiiOf(const std::array<std::optional<double>, sectorCount>& reach,
                                           GateShape gate) {
    std::vector<std::optional<double>> radii(sectorCount);
    for (int k = 0; k < sectorCount; ++k)
        if (const auto& value = reach[static_cast<std::size_t>(k)])
            radii[static_cast<std::size_t>(k)] = *value * idealRadius(gate, centerAngle(k));
    return radii;
}

} // namespace

int sector(double angle) {
    if (!std::isfinite(angle)) return 0;
    double a = angle + pi / 8;
    // fmod leaves anything inside one turn unchanged; skipping it for atan2 angles saves time
    // per reading.
    if (!(std::abs(a) < 2 * pi)) a = std::fmod(a, 2 * pi);
    if (a < 0) a += 2 * pi;
    return std::min(static_cast<int>(a / (pi / 36)), sectorCount - 1);
}

double centerAngle(int sector) {
    return sector * (pi / 36) - 0.3490658503988659;
}

double turns(std::span<const StickSample> samples, double minRadius) {
    return walk(samples, minRadius, minRadius, [](const StickSample&, double, double, int) {});
}

CircularityProgress progress(std::span<const StickSample> samples) {
    ProgressCounter counter;
    counter.add(samples);
    return counter.progress();
}

void ProgressCounter::add(std::span<const StickSample> samples) {
    walk(samples, minRadius, turnRadius, TurnCounter{total_, previous_, hasPrevious_},
         [&](const StickSample&, double, double, int k) {
             bool& slot = seen_[static_cast<std::size_t>(k)];
             if (!slot) {
                 slot = true;
                 ++visited_;
             }
         });
}

CircularityProgress ProgressCounter::progress() const {
    return {static_cast<double>(visited_) / sectorCount, turnsOf(total_)};
}

void ReachCounter::add(std::span<const StickSample> samples) {
    const GateEdge gateEdge(gate_);
    double total = 0, previous = 0;
    bool hasPrevious = false; // turns are not part of the outline
    walk(samples, minRadius, turnRadius, TurnCounter{total, previous, hasPrevious},
         [&](const StickSample& s, double r, double a, int sectorIndex) {
             auto& slot = reach_[static_cast<std::size_t>(sectorIndex)];
             const double v = r / gateEdge.radius(a, s.x / r, s.y / r);
             if (!slot || *slot < v) slot = v;
         });
}

StickPlot ReachCounter::plot(bool fitScale) const {
    return StickPlot{gate_, fitScale ? fittedScale(reach_) : 1.0, radiiOf(reach_, gate_)};
}

CircularityReport analyze(std::span<const StickSample> samples, GateShape gate, bool fitScale,
                          const Thresholds& thresholds) {
    std::array<std::optional<double>, sectorCount> reach{};   // share of the gate's edge
    std::array<std::optional<double>, sectorCount> edge{};    // largest radius, stick units
    std::array<std::optional<RawPoint>, sectorCount> rawAt{}; // raw counts of the reading that set reach
    const GateEdge gateEdge(gate);
    const double turnCount =
        walk(samples, minRadius, turnRadius, [&](const StickSample& s, double r, double a, int sectorIndex) {
            const auto k = static_cast<std::size_t>(sectorIndex);
            const double v = r / gateEdge.radius(a, s.x / r, s.y / r);
            if (!reach[k] || *reach[k] < v) {
                reach[k] = v;
                rawAt[k] = s.raw;
            }
            if (!edge[k] || *edge[k] < r) edge[k] = r;
        });

    CircularityReport report;
    report.gate = gate;
    report.turns = turnCount;
    std::vector<double> visitedReach;
    visitedReach.reserve(sectorCount);
    for (const auto& value : reach)
        if (value) visitedReach.push_back(*value);
    report.visited = static_cast<int>(visitedReach.size());
    report.coverage = static_cast<double>(report.visited) / sectorCount;
    if (fitScale) report.scale = fittedScale(reach);

    double errorSum = 0;
    for (double value : visitedReach)
        errorSum += std::abs(value / report.scale - 1);
    report.averageError = report.visited > 0 ? errorSum / report.visited : 0;

    report.radii = radiiOf(reach, gate);
    report.reach.assign(reach.begin(), reach.end());
    std::array<bool, 8> shortOctant{};
    for (int k = 0; k < sectorCount; ++k) {
        const auto& value = reach[static_cast<std::size_t>(k)];
        if (!value) continue;
        if (*value < report.scale * thresholds.edgeReach) {
            ++report.shortSectors;
            shortOctant[static_cast<std::size_t>(k / 9)] = true;
        }
    }
    for (int d = 0; d < 8; ++d)
        if (shortOctant[static_cast<std::size_t>(d)])
            report.shortDirections.push_back(static_cast<Direction8>(d));

    for (int d = 0; d < 8; ++d) {
        OctantReach octant;
        octant.direction = static_cast<Direction8>(d);
        std::optional<std::size_t> farthest; // sector with the largest reach, first when tied
        for (std::size_t k = static_cast<std::size_t>(d) * 9; k < static_cast<std::size_t>(d) * 9 + 9; ++k) {
            if (edge[k]) {
                octant.minReach = octant.minReach ? std::min(*octant.minReach, *edge[k]) : *edge[k];
                octant.maxReach = octant.maxReach ? std::max(*octant.maxReach, *edge[k]) : *edge[k];
            }
            if (reach[k] && (!farthest || *reach[*farthest] < *reach[k])) farthest = k;
        }
        const std::size_t centre = static_cast<std::size_t>(d) * 9 + 4;
        if (rawAt[centre])
            octant.raw = rawAt[centre];
        else if (farthest)
            octant.raw = rawAt[*farthest];
        report.octants.push_back(octant);
    }
    return report;
}

TestResult result(std::span<const StickSample> samples, const std::string& element, ValueSource source,
                  GateShape gate, bool fitScale, const Thresholds& thresholds, Date date) {
    const CircularityReport report = analyze(samples, gate, fitScale, thresholds);
    if (report.visited == 0) {
        return TestResult(TestKind::circularity, element, source, Verdict::warn, "no rotation seen", {},
                          {"Turn the stick slowly around its edge, pressed all the way out, three times."},
                          std::nullopt, std::nullopt, date, Uuid::random());
    }
    std::vector<Measure> measures{
        Measure{"error", "Average circularity error", report.averageError, MeasureUnit::percent,
                Limit{thresholds.circularityWarn, thresholds.circularityFail, Limit::Direction::above}},
        Measure{"coverage", "Directions reached", report.coverage, MeasureUnit::percent,
                Limit{thresholds.minCoverage, std::nullopt, Limit::Direction::below}},
        Measure{"short", "Directions short of the edge",
                static_cast<double>(report.shortSectors) / report.visited, MeasureUnit::percent,
                Limit{thresholds.outerDeadzoneWarn, thresholds.outerDeadzoneFail, Limit::Direction::above}},
    };
    if (fitScale)
        measures.push_back(Measure{"scale", "Reach (share of full range)", report.scale, MeasureUnit::percent,
                                   std::nullopt});
    measures.push_back(
        Measure{"turns", "Turns", std::round(report.turns * 10) / 10, MeasureUnit::count, std::nullopt});

    std::vector<std::string> details;
    details.push_back("Gate: " + title(gate) + (fitScale ? ", fitted to the stick's own reach" : "") + ".");
    details.push_back("Reach by direction: " + joined(report.octants, "  ", octantText));
    std::vector<OctantReach> withRaw;
    for (const auto& octant : report.octants)
        if (octant.raw) withRaw.push_back(octant);
    if (!withRaw.empty())
        details.push_back("Raw values at the edge: " + joined(withRaw, "  ", [](const OctantReach& o) {
                              return arrow(o.direction) + " " + std::to_string(o.raw->x) + ", " +
                                     std::to_string(o.raw->y);
                          }));
    if (!report.shortDirections.empty())
        details.push_back("Short of the edge toward: " +
                          joined(report.shortDirections, ", ", [](Direction8 d) { return name(d); }) + ".");
    if (report.coverage < thresholds.minCoverage)
        details.push_back("Only " + Fmt::trim(report.coverage * 100, 1) +
                          "% of directions were reached; turn all the way around and run it again.");

    // Directions short of the edge or never reached that decide the verdict are named beside the
    // average error, which alone can read well on a stick that falls short in a few directions.
    std::string headline = VerdictReasons::headline(Fmt::trim(report.averageError * 100, 1) + "% circularity",
                                                    TestKind::circularity, measures, {"error"});
    return TestResult(TestKind::circularity, element, source, std::nullopt, std::move(headline), measures, details,
                      StickPlot{gate, report.scale, report.radii}, std::nullopt, date, Uuid::random());
}

} // namespace RorozErurEvo::CircularityAnalysis

namespace RorozErurEvo {

json OctantReach::toJson() const {
    json object{{"direction", RorozErurEvo::toJson(direction)}};
    if (minReach) object["minReach"] = *minReach;
    if (maxReach) object["maxReach"] = *maxReach;
    if (raw) object["raw"] = raw->toJson();
    return object;
}

OctantReach OctantReach::fromJson(const json& object) {
    Json::requireObject(object, "octant reach");
    OctantReach octant;
    octant.direction = direction8FromJson(Json::member(object, "direction"));
    octant.minReach = Json::optNumber(object, "minReach");
    octant.maxReach = Json::optNumber(object, "maxReach");
    if (object.contains("raw") && !object["raw"].is_null()) octant.raw = RawPoint::fromJson(object["raw"]);
    return octant;
}

} // namespace RorozErurEvo
