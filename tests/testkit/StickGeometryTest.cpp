#include "testkit/StickGeometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <unordered_set>

using namespace RorozErurEvo;

namespace {
using std::numbers::pi;
const double notANumber = std::numeric_limits<double>::quiet_NaN();
const double infinity = std::numeric_limits<double>::infinity();

StickSample at(double t, double x) { return StickSample{t, x, 0, std::nullopt}; }
std::vector<double> times(const std::vector<StickSample>& samples) {
    std::vector<double> out;
    for (const auto& s : samples) out.push_back(s.t);
    return out;
}
} // namespace

TEST(Direction8, NearestRoundsHalvesUpAndWrapsAround) {
    EXPECT_EQ(nearestDirection(0), Direction8::right);
    EXPECT_EQ(nearestDirection(pi / 8 - 0.001), Direction8::right);
    EXPECT_EQ(nearestDirection(-pi / 8 + 0.001), Direction8::right);
    EXPECT_EQ(nearestDirection(pi / 8), Direction8::upRight);
    EXPECT_EQ(nearestDirection(-pi / 2), Direction8::down);
    EXPECT_EQ(nearestDirection(2 * pi - 0.01), Direction8::right);
    EXPECT_EQ(nearestDirection(pi), Direction8::left);
    EXPECT_EQ(nearestDirection(7 * pi + pi / 4), Direction8::downLeft);
}

TEST(Direction8, NonFiniteAngleGivesTheFirstDirection) {
    EXPECT_EQ(nearestDirection(notANumber), Direction8::right);
    EXPECT_EQ(nearestDirection(infinity), Direction8::right);
    EXPECT_EQ(nearestDirection(-infinity), Direction8::right);
}

TEST(Direction8, VectorsAreUnitLengthAndJsonIsTheRawNumber) {
    EXPECT_EQ(allCases<Direction8>().size(), 8u);
    EXPECT_EQ(name(Direction8::downRight), "Down-right");
    EXPECT_TRUE(isDiagonal(Direction8::downLeft));
    PlotPoint diagonal = vector(Direction8::upRight);
    EXPECT_NEAR(diagonal.x, std::sqrt(0.5), 1e-12);
    EXPECT_NEAR(diagonal.radius(), 1, 1e-12);
    EXPECT_EQ(direction8(8), std::nullopt);
    EXPECT_EQ(toJson(Direction8::down), json(6));
    EXPECT_EQ(direction8FromJson(json(6)), Direction8::down);
    EXPECT_THROW(direction8FromJson(json(8)), DecodeError);
    EXPECT_THROW(direction8FromJson(json(2.5)), DecodeError);
    EXPECT_THROW(direction8FromJson(json("up")), DecodeError);
}

TEST(GateShape, IdealRadiusOfEachShape) {
    EXPECT_NEAR(idealRadius(GateShape::square, 0), 1, 1e-12);
    EXPECT_NEAR(idealRadius(GateShape::square, pi / 2), 1, 1e-12);
    EXPECT_NEAR(idealRadius(GateShape::square, pi / 4), std::sqrt(2), 1e-12);
    EXPECT_NEAR(idealRadius(GateShape::square, pi / 8), 1 / std::cos(pi / 8), 1e-12); // straight edge through (1, 0)
    for (int k = 0; k < 8; ++k) EXPECT_NEAR(idealRadius(GateShape::octagonGameCube, k * pi / 4), 1, 1e-12) << k;
    EXPECT_NEAR(idealRadius(GateShape::octagonGameCube, pi / 8), std::cos(pi / 8), 1e-12);
    EXPECT_NEAR(idealRadius(GateShape::octagonN64, pi / 4), 1.18, 1e-12);
    EXPECT_NEAR(idealRadius(GateShape::octagonN64, -3 * pi / 4), 1.18, 1e-12);
    EXPECT_EQ(idealRadius(GateShape::round, 1.234), 1.0);
    EXPECT_NEAR(idealRadius(GateShape::octagonN64, 2 * pi - 1e-15), 1, 1e-9);
}

TEST(GateShape, PolygonRadiusOfANonFiniteAngleIsTheRadiusAtZero) {
    EXPECT_EQ(polygonRadius(notANumber, 1.18), polygonRadius(0, 1.18));
    EXPECT_EQ(polygonRadius(infinity, std::sqrt(2)), polygonRadius(0, std::sqrt(2)));
    EXPECT_EQ(idealRadius(GateShape::square, -infinity), 1.0);
}

TEST(GateShape, OutlineStartsAtAngleZeroAndIgnoresBadCounts) {
    auto square = outline(GateShape::square, 1, 4);
    ASSERT_EQ(square.size(), 4u);
    const PlotPoint expected[] = {{1, 0}, {0, 1}, {-1, 0}, {0, -1}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(square[i].x, expected[i].x, 1e-12) << i;
        EXPECT_NEAR(square[i].y, expected[i].y, 1e-12) << i;
    }
    EXPECT_NEAR(outline(GateShape::octagonN64, 0.5, 8)[1].radius(), 0.59, 1e-12);
    EXPECT_TRUE(outline(GateShape::round, 1, 0).empty());
    EXPECT_TRUE(outline(GateShape::round, 1, -5).empty());
    EXPECT_TRUE(isOctagon(GateShape::octagonN64));
}

TEST(StickSample, GeometryJsonAndHashing) {
    StickSample s{1.5, 0.6, -0.8, std::nullopt};
    EXPECT_NEAR(s.radius(), 1, 1e-12);
    EXPECT_NEAR(s.angle(), std::atan2(-0.8, 0.6), 1e-15);
    EXPECT_EQ(s.point(), (PlotPoint{0.6, -0.8}));
    json doc = s.toJson();
    EXPECT_FALSE(doc.contains("raw"));
    EXPECT_EQ(doc.size(), 3u);
    EXPECT_EQ(StickSample::fromJson(doc), s);

    s.raw = RawPoint{-32768, 4294967296LL};
    EXPECT_EQ(StickSample::fromJson(Json::parse(Json::dump(s.toJson()))), s);
    EXPECT_NE(s, (StickSample{1.5, 0.6, -0.8, std::nullopt}));
    EXPECT_THROW(StickSample::fromJson(Json::parse(R"({"t":1,"x":0,"y":0,"raw":{"x":1.5,"y":0}})")), DecodeError);
    EXPECT_THROW(StickSample::fromJson(Json::parse(R"({"t":1,"x":0})")), DecodeError);

    std::unordered_set<PlotPoint> points{{0.0, 0.0}, {-0.0, 0.0}, PlotPoint::zero};
    EXPECT_EQ(points.size(), 1u);
    std::unordered_set<RawPoint> raws{{1, 2}, {2, 1}, {1, 2}};
    EXPECT_EQ(raws.size(), 2u);
}

TEST(Resample, ValueIsTheLastSampleAtOrBeforeTheTime) {
    std::vector<StickSample> samples{at(0.1, 1), at(0.2, 2), at(0.2, 3), at(0.4, 4)};
    EXPECT_EQ(Resample::value(0.05, samples), std::nullopt);
    EXPECT_EQ(Resample::value(0.2, samples)->x, 3);
    EXPECT_EQ(Resample::value(0.3, samples)->x, 3);
    EXPECT_EQ(Resample::value(9, samples)->x, 4);
    EXPECT_EQ(Resample::value(0.1, {}), std::nullopt);
    EXPECT_EQ(Resample::value(notANumber, samples), std::nullopt);
}

TEST(Resample, HoldProducesAnExactGrid) {
    std::vector<StickSample> samples{at(0, 1)};
    auto grid = Resample::hold(samples, 0, 1, 10, std::nullopt);
    ASSERT_EQ(grid.size(), 11u);
    EXPECT_EQ(grid.back().t, 1.0);
    EXPECT_EQ(Resample::hold({at(0.1, 1)}, 0.1, 0.3, 10, std::nullopt).size(), 3u); // 1.9999999999999998 steps
}

TEST(Resample, HoldNeverUsesAValueFromTheFuture) {
    // Unsorted input; the held value at each grid time is the last sample not after it.
    std::vector<StickSample> samples{at(0.25, 3), at(0.05, 1), at(0.15, 2), at(0.15, 9)};
    auto grid = Resample::hold(samples, 0, 0.3, 10, std::nullopt);
    EXPECT_EQ(times(grid), (std::vector<double>{0.1, 0.2, 0.3}));
    EXPECT_EQ(grid[0].x, 1);
    EXPECT_EQ(grid[1].x, 9); // equal times keep their order, so the later one is held
    EXPECT_EQ(grid[2].x, 3);

    auto seeded = Resample::hold(samples, 0, 0.3, 10, StickSample{-1, 7, 7, RawPoint{5, 6}});
    ASSERT_EQ(seeded.size(), 4u);
    EXPECT_EQ(seeded[0].x, 7);
    EXPECT_EQ(seeded[0].raw, (RawPoint{5, 6}));
    EXPECT_EQ(seeded[0].t, 0.0);

    auto late = Resample::hold({at(-1, 4), at(0.55, 5)}, 0, 1, 10, std::nullopt);
    EXPECT_EQ(late.front().x, 4); // the value held from before t0 starts the grid
}

TEST(Resample, HoldRejectsEmptyOrNonFiniteSpans) {
    std::vector<StickSample> samples{at(0, 1)};
    EXPECT_TRUE(Resample::hold(samples, 1, 1, 10, std::nullopt).empty());
    EXPECT_TRUE(Resample::hold(samples, 2, 1, 10, std::nullopt).empty());
    EXPECT_TRUE(Resample::hold(samples, 0, 1, 0, std::nullopt).empty());
    EXPECT_TRUE(Resample::hold(samples, 0, 1, -5, std::nullopt).empty());
    EXPECT_TRUE(Resample::hold(samples, 0, infinity, 10, std::nullopt).empty());
    EXPECT_TRUE(Resample::hold(samples, -infinity, 1, 10, std::nullopt).empty());
    EXPECT_TRUE(Resample::hold(samples, 0, 1, infinity, std::nullopt).empty());
    EXPECT_TRUE(Resample::hold(samples, notANumber, 1, 10, std::nullopt).empty());
    EXPECT_TRUE(Resample::hold(samples, 0, 1, notANumber, std::nullopt).empty());
    EXPECT_TRUE(Resample::hold(samples, 0, 1e300, 1e300, std::nullopt).empty());
}
