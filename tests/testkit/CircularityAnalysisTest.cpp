#include "testkit/CircularityAnalysis.h"

#include <gtest/gtest.h>

#include "support/TestSamples.h"

#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

using namespace RorozErurEvo;

namespace {

using std::numbers::pi;
using TestSamples::someDate;

double degrees(double d) {
    return d * pi / 180;
}

StickSample polar(double radius, double angle, std::optional<RawPoint> raw = std::nullopt) {
    return StickSample{0, radius * std::cos(angle), radius * std::sin(angle), raw};
}

// Full turns at a constant radius, 720 readings a turn; direction -1 turns clockwise.
std::vector<StickSample> circle(double radius, double turns = 1, double direction = 1) {
    std::vector<StickSample> samples;
    for (int i = 0; i < static_cast<int>(720 * turns); ++i)
        samples.push_back(polar(radius, direction * i * 2 * pi / 720));
    return samples;
}

Thresholds edgeAt(double edgeReach) {
    Thresholds thresholds;
    thresholds.edgeReach = edgeReach;
    return thresholds;
}

TestResult judge(const std::vector<StickSample>& samples, GateShape gate = GateShape::round, bool fit = false,
                 const Thresholds& thresholds = Thresholds{}) {
    return CircularityAnalysis::result(samples, "Left stick", ValueSource::processed, gate, fit, thresholds,
                                       someDate);
}

} // namespace

TEST(CircularitySectors, BoundariesAndMinimumRadius) {
    using CircularityAnalysis::sector;
    EXPECT_EQ(sector(degrees(-22.5)), 0);
    EXPECT_EQ(sector(std::nextafter(degrees(-22.5), -4.0)), 71);
    EXPECT_EQ(sector(degrees(17.4)), 7);
    EXPECT_EQ(sector(degrees(22.6)), 9);
    EXPECT_EQ(sector(pi), 40);
    EXPECT_EQ(sector(-pi), 40);
    EXPECT_EQ(sector(std::numeric_limits<double>::quiet_NaN()), 0);
    for (int k = 0; k < CircularityAnalysis::sectorCount; ++k)
        EXPECT_EQ(sector(CircularityAnalysis::centerAngle(k)), k);

    std::vector<StickSample> atMinimum{polar(0.25, 0)}, inside{polar(0.2499, 0)};
    EXPECT_EQ(CircularityAnalysis::progress(atMinimum).coverage, 1.0 / 72);
    EXPECT_EQ(CircularityAnalysis::progress(inside).coverage, 0);
    EXPECT_EQ(CircularityAnalysis::analyze(atMinimum, GateShape::round, false, Thresholds{}).visited, 1);
    EXPECT_EQ(CircularityAnalysis::analyze(inside, GateShape::round, false, Thresholds{}).visited, 0);
}

TEST(CircularityTurns, CountsNetTurnsAndRestartsAfterADip) {
    const double oneTurn = 1 - 1.0 / 720; // 719 steps between 720 readings
    EXPECT_NEAR(CircularityAnalysis::turns(circle(0.9, 3), 0.4), (3 * 720 - 1) / 720.0, 1e-9);
    EXPECT_NEAR(CircularityAnalysis::progress(circle(0.9, 3)).turns, (3 * 720 - 1) / 720.0, 1e-9);
    auto forwardAndBack = circle(0.9), back = circle(0.9, 1, -1);
    forwardAndBack.insert(forwardAndBack.end(), back.begin(), back.end());
    EXPECT_NEAR(CircularityAnalysis::turns(forwardAndBack, 0.4), 0, 0.01);

    // Through the centre to the opposite side: no half turn is added across the dip.
    auto dipped = circle(0.9), opposite = circle(0.9);
    for (auto& s : opposite)
        s.x = -s.x, s.y = -s.y;
    dipped.push_back(polar(0.1, 0));
    dipped.insert(dipped.end(), opposite.begin(), opposite.end());
    EXPECT_NEAR(CircularityAnalysis::turns(dipped, 0.4), 2 * oneTurn, 1e-9);
}

TEST(CircularityAnalysis, RoundGateWithAndWithoutFittingTheReach) {
    auto samples = circle(0.97);
    auto plain = CircularityAnalysis::analyze(samples, GateShape::round, false, edgeAt(0.95));
    EXPECT_EQ(plain.coverage, 1);
    EXPECT_EQ(plain.scale, 1);
    EXPECT_NEAR(plain.averageError, 0.03, 1e-12);
    EXPECT_EQ(plain.shortSectors, 0);
    auto fitted = CircularityAnalysis::analyze(samples, GateShape::round, true, edgeAt(0.95));
    EXPECT_NEAR(fitted.scale, 0.97, 1e-12);
    EXPECT_NEAR(fitted.averageError, 0, 1e-12);

    auto result = judge(samples, GateShape::round, false, edgeAt(0.95));
    EXPECT_EQ(result.verdict, Verdict::pass);
    EXPECT_EQ(result.headline, "3% circularity");
    EXPECT_EQ(result.details[0], "Gate: Round.");
    EXPECT_FALSE(result.measure("scale"));
    EXPECT_EQ(result.measure("turns")->value, 1);
    ASSERT_TRUE(result.plot);
    EXPECT_EQ(result.plot->radii, plain.radii);

    auto fittedResult = judge(samples, GateShape::round, true, edgeAt(0.95));
    EXPECT_EQ(fittedResult.measures[3].id, "scale"); // after "short", before "turns"
    EXPECT_EQ(fittedResult.details[0], "Gate: Round, fitted to the stick's own reach.");
    EXPECT_EQ(fittedResult.headline, "0% circularity");
}

TEST(CircularityAnalysis, EachGateJudgesItsOwnEdge) {
    // A circle in a square gate falls short toward the corners: 7 of the 9 sectors of each
    // diagonal octant reach under 0.9 of the edge, and no cardinal sector does.
    auto square = CircularityAnalysis::analyze(circle(1), GateShape::square, false, edgeAt(0.9));
    EXPECT_EQ(square.shortDirections, (std::vector<Direction8>{Direction8::upRight, Direction8::upLeft,
                                                               Direction8::downLeft, Direction8::downRight}));
    EXPECT_EQ(square.shortSectors, 28);
    EXPECT_NEAR(*square.radii[13], *square.reach[13] * std::sqrt(2.0), 1e-12); // drawn onto the gate's corner
    auto result = judge(circle(1), GateShape::square, false, edgeAt(0.9));
    EXPECT_EQ(result.details.back(), "Short of the edge toward: Up-right, Up-left, Down-left, Down-right.");
    EXPECT_EQ(result.verdict, Verdict::fail); // 28 of 72 short

    // Uneven readings, one per sector: reach is the radius over the gate's edge at that angle.
    std::vector<StickSample> samples;
    for (int k = 0; k < 72; ++k)
        samples.push_back(polar(0.5 + 0.01 * (k % 37),
                                CircularityAnalysis::centerAngle(k) + degrees(2.4 * std::sin(k * 1.7))));
    for (GateShape gate : allCases<GateShape>()) {
        auto report = CircularityAnalysis::analyze(samples, gate, false, Thresholds{});
        for (const auto& s : samples)
            EXPECT_NEAR(*report.reach[static_cast<std::size_t>(CircularityAnalysis::sector(s.angle()))],
                        s.radius() / idealRadius(gate, s.angle()), 1e-12)
                << rawValue(gate);
    }
}

TEST(CircularityAnalysis, ReachAndRawValuesByDirectionReadCharacterForCharacter) {
    std::vector<StickSample> samples{
        polar(0.97, degrees(-10), RawPoint{970, 10}), // right octant, farther than its centre sector
        polar(1.0, degrees(0), RawPoint{1000, 128}),  // right octant, centre sector
        polar(0.95, degrees(85)),                     // up octant, no raw counts
        polar(0.96, degrees(95), RawPoint{100, 990}), // up octant, the farther sector
        polar(0.96, degrees(95), RawPoint{99, 991}),  // equal reach later: does not replace
        polar(0.9, pi),                               // left octant, one sector
    };
    auto result = judge(samples);
    ASSERT_GE(result.details.size(), 4u);
    EXPECT_EQ(result.details[1], "Reach by direction: \u2192 97\u2013100%  \u2197 \u2013  \u2191 95\u201396% "
                                 " \u2196 \u2013  \u2190 90%  "
                                 "\u2199 \u2013  \u2193 \u2013  \u2198 \u2013");
    EXPECT_EQ(result.details[2], "Raw values at the edge: \u2192 1000, 128  \u2191 100, 990");
    // 5 of 72 sectors visited.
    EXPECT_EQ(result.details[3],
              "Only 6.9% of directions were reached; turn all the way around and run it again.");
    EXPECT_EQ(result.measure("coverage")->verdict(), Verdict::warn);
}

TEST(CircularityAnalysis, CoverageEqualToTheMinimumIsEnough) {
    Thresholds thresholds;
    thresholds.minCoverage = 0.5;
    std::vector<StickSample> half;
    for (int k = 0; k < 36; ++k)
        half.push_back(polar(1, CircularityAnalysis::centerAngle(k)));
    auto enough = judge(half, GateShape::round, false, thresholds);
    EXPECT_EQ(enough.measure("coverage")->verdict(), Verdict::pass);
    EXPECT_EQ(enough.details.size(), 2u);
    half.pop_back();
    EXPECT_EQ(judge(half, GateShape::round, false, thresholds).details.back().rfind("Only 48.6% ", 0), 0u);
}

TEST(CircularityAnalysis, NothingOutFromCentreGivesTheNoRotationWarning) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (const auto& samples :
         std::vector<std::vector<StickSample>>{{}, {polar(0.1, 1)}, {{0, nan, 0.9, std::nullopt}}}) {
        auto result = judge(samples, GateShape::round, true);
        EXPECT_EQ(result.verdict, Verdict::warn);
        EXPECT_EQ(result.headline, "no rotation seen");
        EXPECT_TRUE(result.measures.empty());
        EXPECT_FALSE(result.plot);
        EXPECT_EQ(result.details,
                  std::vector<std::string>{
                      "Turn the stick slowly around its edge, pressed all the way out, three times."});
    }
    std::vector<StickSample> mixed{polar(0.9, 0),
                                   {0, 0.9, nan, std::nullopt},
                                   {0, std::numeric_limits<double>::infinity(), 0, std::nullopt},
                                   {0, 1e300, 1e300, std::nullopt}};
    EXPECT_EQ(CircularityAnalysis::progress(mixed).coverage, 1.0 / 72);
    EXPECT_EQ(CircularityAnalysis::analyze(mixed, GateShape::round, false, Thresholds{}).visited, 1);
}

TEST(CircularityAnalysis, OctantReachJsonLeavesAbsentFieldsOut) {
    OctantReach full{Direction8::upLeft, 0.8, 0.95, RawPoint{3, -4}};
    OctantReach empty{Direction8::down, std::nullopt, std::nullopt, std::nullopt};
    EXPECT_EQ(OctantReach::fromJson(full.toJson()), full);
    EXPECT_EQ(empty.toJson(), (json{{"direction", 6}}));
    EXPECT_EQ(OctantReach::fromJson(json{{"direction", 6}, {"minReach", nullptr}}), empty);
    EXPECT_THROW(OctantReach::fromJson(json{{"direction", 8}}), DecodeError);
}

// The average error alone reads well on a stick that falls short of the edge in a third of its
// directions: a verdict decided by another measure names it in the headline, and a verdict the
// error decides itself needs nothing more.
TEST(CircularityAnalysis, AVerdictDecidedByAnotherMeasureIsNamedInTheHeadline) {
    auto sectors = [](int count, int shortOnes, double shortRadius) {
        std::vector<StickSample> samples;
        for (int k = 0; k < count; ++k)
            samples.push_back(polar(k < shortOnes ? shortRadius : 0.99, CircularityAnalysis::centerAngle(k)));
        return samples;
    };
    auto shortOfTheEdge = judge(sectors(72, 23, 0.85));
    EXPECT_EQ(shortOfTheEdge.measure("error")->verdict(), Verdict::pass);
    EXPECT_EQ(shortOfTheEdge.verdict, Verdict::fail);
    EXPECT_EQ(shortOfTheEdge.headline, "5.5% circularity, 31.9% of directions short of the edge");

    auto partWay = judge(sectors(60, 0, 0));
    EXPECT_EQ(partWay.verdict, Verdict::warn);
    EXPECT_EQ(partWay.headline, "1% circularity, only 83.3% of directions reached");

    auto uneven = judge(sectors(72, 40, 0.7));
    EXPECT_EQ(uneven.verdict, Verdict::fail);
    EXPECT_EQ(uneven.measure("short")->verdict(), Verdict::fail);
    EXPECT_EQ(uneven.headline, "17.1% circularity");
}
