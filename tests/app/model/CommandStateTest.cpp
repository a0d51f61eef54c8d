#include "ModelFakes.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include "app/model/CommandState.h"
#include "app/model/SessionLibrary.h"
#include "app/model/TestRunner.h"

using namespace Tessarine;
using RorozErurEvo::TestKind;
using RorozErurEvo::TestResult;
using RorozErurEvo::ValueSource;
using RorozErurEvo::Verdict;

namespace {
TestResult passed() { return TestResult(TestKind::drift, "Left Thumbstick", ValueSource::processed, Verdict::pass, "fine", {}, {}); }

// The current sessions, whole, once whatever had to be read has landed.
std::vector<RorozErurEvo::TestSession> current(Fakes::Bench& bench) {
    std::vector<RorozErurEvo::TestSession> got;
    Commands::withCurrentSessions(*bench.model, [&](std::vector<RorozErurEvo::TestSession> sessions) { got = std::move(sessions); });
    bench.executor->runAll();
    return got;
}
} // namespace

TEST(CommandState, SessionItemsFollowTheSelection) {
    Fakes::Bench bench;
    AppModel& model = *bench.model;

    // The demo controller without results: it can be saved, but there is nothing to report yet.
    CommandState state = CommandState::of(model);
    EXPECT_TRUE(state.saveSession);
    EXPECT_TRUE(state.tabs);
    EXPECT_FALSE(state.sessionItems);
    EXPECT_FALSE(state.exportAll);

    model.runner(bench.demo()).setResults({{"drift|Left Thumbstick|processed", passed()}});
    state = CommandState::of(model);
    EXPECT_TRUE(state.sessionItems);
    ASSERT_EQ(current(bench).size(), 1u);
    model.deviceLists().setUnit("demo", UnitRecord{.unit = "SN-42", .stage = "Before repair"});
    EXPECT_EQ(Commands::suggestedName(current(bench)), "SN-42 Before repair");

    for (auto item : {SidebarItem::keyboard(), SidebarItem::mouse(), SidebarItem::batch(), SidebarItem::device("gone")}) {
        model.navigation().setSelection(item);
        EXPECT_EQ(CommandState::of(model), CommandState{}) << int(item.kind);
    }
}

TEST(CommandState, HistoryActsOnThePickedSavedSession) {
    Fakes::Bench bench;
    AppModel& model = *bench.model;
    model.runner(bench.demo()).setResults({{"drift|Left Thumbstick|processed", passed()}});
    auto saved = model.saveSession(bench.demo(), UnitRecord{.unit = "SN-7"});
    bench.executor->runAll(); // listed once its file is written

    model.navigation().setSelection(SidebarItem::history());
    CommandState state = CommandState::of(model);
    EXPECT_FALSE(state.sessionItems); // nothing picked yet
    EXPECT_TRUE(state.exportAll);
    EXPECT_FALSE(state.saveSession);

    model.navigation().setSelectedSession(saved.id);
    state = CommandState::of(model);
    EXPECT_TRUE(state.sessionItems);
    ASSERT_EQ(current(bench).size(), 1u);
    EXPECT_EQ(current(bench)[0], saved);

    model.navigation().setSelectedSession(RorozErurEvo::Uuid::random());
    EXPECT_FALSE(CommandState::of(model).sessionItems);
}

TEST(CommandState, TabsAreWrittenOnlyWhenTheyChange) {
    Fakes::Bench bench;
    AppModel& model = *bench.model;
    QSignalSpy tabs(&model.navigation(), &Navigation::tabChanged);
    Commands::selectTab(model, DetailTab::raw);
    Commands::selectTab(model, DetailTab::raw);
    EXPECT_EQ(model.navigation().tab(), DetailTab::raw);
    EXPECT_EQ(tabs.count(), 1);

    model.navigation().setSelection(SidebarItem::keyboard());
    Commands::selectTab(model, DetailTab::history);
    EXPECT_EQ(model.navigation().tab(), DetailTab::raw);
}
