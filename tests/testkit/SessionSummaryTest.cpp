// A session's summary gives a listing the same answers as the whole session: the unit it is
// grouped under, its verdict, the kind of device, its title, and the grouping of a whole history, over a seeded history of a few hundred sessions with blank,
// padded and missing units, keyboards and mice among the controllers, and equal dates.
#include "testkit/SessionSummary.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "SeededHistory.h"
#include "testkit/RecentSessions.h"

using namespace RorozErurEvo;
using namespace RorozErurEvo::Samples;

TEST(SessionSummary, GivesAListingTheWholeSessionsAnswers) {
    const auto sessions = Samples::seededHistory(300);
    std::vector<SessionSummary> summaries;
    for (const auto& s : sessions) {
        const auto summary = SessionSummary::of(s);
        EXPECT_TRUE(summary.describes(s));
        EXPECT_EQ(summary.id, s.id);
        EXPECT_EQ(summary.unitKey(), s.unitKey());
        EXPECT_EQ(summary.verdict(), s.verdict());
        EXPECT_EQ(summary.deviceKind(), s.deviceKind());
        EXPECT_EQ(summary.title(), s.title());
        summaries.push_back(summary);
    }
    const auto groups = TestSession::byUnitIndex(sessions);
    EXPECT_EQ(SessionSummary::byUnitIndex(summaries), groups);
    EXPECT_GT(groups.size(), 5u);
}

TEST(SessionSummary, DescribesOnlyTheSessionItWasMadeOf) {
    TestSession s = session("SN-1", "2026-03-01T09:00:00Z", {result(TestKind::drift, "Left stick", Verdict::pass)});
    const auto summary = SessionSummary::of(s);
    const std::vector<std::function<void(TestSession&)>> changes{
        [](TestSession& t) { t.label = "After"; },
        [](TestSession& t) { t.device.guid = "other"; },
        [](TestSession& t) { t.device.transport = "USB"; },
        [](TestSession& t) { t.device.serial = "S-2"; },
        [](TestSession& t) { t.technician = "Someone else"; },
        [](TestSession& t) { t.ticket = "T-9"; },
        [](TestSession& t) { t.date += std::chrono::seconds(1); },
        [](TestSession& t) { t.results[0].element = "Right stick"; },
        [](TestSession& t) { t.results[0].verdict = Verdict::fail; },
        [](TestSession& t) { t.results.push_back(t.results[0]); },
        [](TestSession& t) { t.results[0].source = ValueSource::raw; },
        [](TestSession& t) { t.results[0].kind = TestKind::keyboard; },
    };
    for (std::size_t i = 0; i < changes.size(); ++i) {
        TestSession changed = s;
        changes[i](changed);
        EXPECT_FALSE(summary.describes(changed)) << "change " << i;
    }
    TestSession notes = s;
    notes.notes = "not in the summary";
    EXPECT_TRUE(summary.describes(notes));
}

TEST(SessionSummary, RecentSessionsKeepTheLastFewUsedAndForgetWhatChanged) {
    RecentSessions recent(2);
    auto a = std::make_shared<const TestSession>(session("A", "2026-03-01T09:00:00Z"));
    auto b = std::make_shared<const TestSession>(session("B", "2026-03-01T09:00:00Z"));
    auto c = std::make_shared<const TestSession>(session("C", "2026-03-01T09:00:00Z"));
    recent.keep(a);
    recent.keep(b);
    EXPECT_EQ(recent.find(a->id), a); // a is now the most recent, so b goes first
    recent.keep(c);
    EXPECT_EQ(recent.find(b->id), nullptr);
    EXPECT_EQ(recent.find(a->id), a);
    EXPECT_EQ(recent.find(c->id), c);

    // Saved again: the new copy replaces the old one, never listed twice.
    auto newer = std::make_shared<const TestSession>(*a);
    recent.keep(newer);
    EXPECT_EQ(recent.size(), 2u);
    EXPECT_EQ(recent.find(a->id), newer);
    recent.forget(a->id);
    EXPECT_EQ(recent.find(a->id), nullptr);
    EXPECT_EQ(recent.find(c->id), c);
}
