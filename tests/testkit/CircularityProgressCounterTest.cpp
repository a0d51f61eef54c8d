#include "testkit/CircularityAnalysis.h"

#include <gtest/gtest.h>

#include "testkit/DemoTraces.h"

using namespace RorozErurEvo;

// Fed in pieces of every size, the count equals the count of the whole recording, including
// a chain of angles broken by a dip into the centre and a reading split across two pieces.
TEST(CircularityProgressCounter, PiecesGiveTheWholeAnswer) {
    auto trace = DemoTraces::rotation(GateShape::round, 0.9, 2.3, 3.0, 120, 0.01, PlotPoint::zero, 4, 0, std::nullopt);
    trace.insert(trace.begin() + 100, StickSample{trace[100].t, 0.0, 0.1, std::nullopt}); // a dip
    trace.insert(trace.begin() + 200, StickSample{trace[200].t, 0.3, 0.3, std::nullopt}); // binned, not turned
    const auto whole = CircularityAnalysis::progress(trace);
    ASSERT_GT(whole.turns, 2.0);
    for (std::size_t piece : {1u, 7u, 64u, 1000u}) {
        CircularityAnalysis::ProgressCounter counter;
        for (std::size_t i = 0; i < trace.size(); i += piece)
            counter.add(std::span<const StickSample>(trace).subspan(i, std::min(piece, trace.size() - i)));
        EXPECT_EQ(counter.progress(), whole) << piece;
    }
    EXPECT_EQ(CircularityAnalysis::ProgressCounter{}.progress(), (CircularityProgress{0, 0}));
}
