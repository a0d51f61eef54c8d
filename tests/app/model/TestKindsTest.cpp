// The table of test kinds that the phase machine and the finishing step both read.
#include "ModelFakes.h"

#include <gtest/gtest.h>

#include <map>

#include "app/model/GuidedTests.h"
#include "app/model/TestKinds.h"
#include "app/model/TestRunner.h"

using namespace Tessarine;
using RorozErurEvo::TestKind;

TEST(TestKinds, EveryKindHasExactlyOneRecord) {
    std::map<TestKind, int> seen;
    for (const auto& record : TestKinds::all()) ++seen[record.kind];
    for (const auto& entry : RorozErurEvo::EnumTable<TestKind>::entries) {
        EXPECT_EQ(seen[entry.value], 1) << entry.raw;
        EXPECT_EQ(TestKinds::record(entry.value).kind, entry.value) << entry.raw;
    }
    EXPECT_EQ(TestKinds::all().size(), RorozErurEvo::EnumTable<TestKind>::entries.size());
}

TEST(TestKinds, WhatThePhaseMachineDrivesTheFinishingStepAnalyses) {
    for (const auto& record : TestKinds::all()) {
        const std::string kind(RorozErurEvo::rawValue(record.kind));
        if (record.step) {
            EXPECT_TRUE(record.finish) << kind << " would end as \"not run\"";
        }
        if (record.manual) {
            EXPECT_FALSE(record.step || record.finish) << kind << " is answered by a person";
        }
    }
    // Step and finish take the same target: every driven test the demo controller offers gives a
    // real result, even ended half a second in.
    Fakes::Bench bench;
    auto& runner = bench.model->runner(bench.demo());
    int driven = 0;
    for (const auto& test : GuidedTests::allTests(*bench.demo())) {
        if (!TestKinds::record(test.kind).step) continue;
        ++driven;
        runner.start(test);
        bench.clock.advance(0.5);
        runner.tick(bench.clock.now());
        ASSERT_TRUE(runner.active()) << test.id();
        EXPECT_NE(runner.analyze(*runner.active(), bench.clock.now()).headline, "not run") << test.id();
        runner.cancel();
    }
    EXPECT_GE(driven, 10) << "the demo controller offers most driven kinds";
}
