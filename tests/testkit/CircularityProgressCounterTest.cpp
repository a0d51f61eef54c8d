#include "testkit/CircularityAnalysis.h"

#include <gtest/gtest.h>

#include "testkit/DemoTraces.h"

using namespace RorozErurEvo;

// Fed in pieces of every size, the count and the outline equal those of the whole recording, including
// a chain of angles broken by a dip into the centre and a reading split across two pieces.
TEST(CircularityProgressCounter, PiecesGiveTheWholeAnswer) {
    auto trace = DemoTraces::rotation(GateShape::round, 0.9, 2.3, 3.0, 120, 0.01, PlotPoint::zero, 4, 0, std::nullopt);
    trace.insert(trace.begin() + 100, StickSample{trace[100].t, 0.0, 0.1, std::nullopt}); // a dip
    trace.insert(trace.begin() + 200, StickSample{trace[200].t, 0.3, 0.3, std::nullopt}); // binned, not turned
    const auto whole = CircularityAnalysis::progress(trace);
    ASSERT_GT(whole.turns, 2.0);
    const auto report = CircularityAnalysis::analyze(trace, GateShape::octagonGameCube, true, Thresholds{});
    for (std::size_t piece : {1u, 7u, 64u, 1000u}) {
        CircularityAnalysis::ProgressCounter counter;
        CircularityAnalysis::ReachCounter reach(GateShape::octagonGameCube);
        for (std::size_t i = 0; i < trace.size(); i += piece) {
            const auto part = std::span<const StickSample>(trace).subspan(i, std::min(piece, trace.size() - i));
            counter.add(part);
            reach.add(part);
        }
        EXPECT_EQ(counter.progress(), whole) << piece;
        // The live outline is the one the full analysis draws.
        EXPECT_EQ(reach.plot(true), (StickPlot{report.gate, report.scale, report.radii})) << piece;
    }
    EXPECT_EQ(CircularityAnalysis::ReachCounter(GateShape::square).plot(false),
              (StickPlot{GateShape::square, 1.0, std::vector<std::optional<double>>(72)}));
    EXPECT_EQ(CircularityAnalysis::ProgressCounter{}.progress(), (CircularityProgress{0, 0}));
}
