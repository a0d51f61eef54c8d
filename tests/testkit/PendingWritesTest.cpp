// How quitting words the session writes it waits for, and what quitting before them would lose.
#include "testkit/PendingWrites.h"

#include <gtest/gtest.h>

using namespace RorozErurEvo;
using Write = PendingWrite::Kind;

TEST(PendingWrites, HeadingCountsEachKindAndSaysTheNounOnce) {
    EXPECT_EQ(PendingWrites::heading({}), "");
    EXPECT_EQ(PendingWrites::heading({{Write::save, "A, session"}}), "Saving 1 session\u2026");
    EXPECT_EQ(PendingWrites::heading({{Write::save, "A, x"}, {Write::save, "B, y"}}), "Saving 2 sessions\u2026");
    EXPECT_EQ(PendingWrites::heading({{Write::remove, "A, x"}}), "Deleting 1 session\u2026");
    EXPECT_EQ(PendingWrites::heading({{Write::remove, "A, x"}, {Write::save, "B, y"}, {Write::remove, "C, z"}}),
              "Saving 1 session and deleting 2\u2026");
    EXPECT_EQ(PendingWrites::heading({{Write::eraseAll, ""}}), "Erasing the saved sessions\u2026");
}

TEST(PendingWrites, LossNamesTheFirstThreeInTheOrderAskedAndCountsTheRest) {
    EXPECT_EQ(PendingWrites::loss({}), "");
    EXPECT_EQ(PendingWrites::loss({{Write::save, "SN-4411, Before repair"}}),
              "Quitting now loses the session \u201CSN-4411, Before repair\u201D.");
    EXPECT_EQ(PendingWrites::loss({{Write::save, "A, x"}, {Write::remove, "B, y"}}),
              "Quitting now loses the session \u201CA, x\u201D and the deletion of \u201CB, y\u201D.");
    EXPECT_EQ(PendingWrites::loss({{Write::save, "A, x"}, {Write::save, "B, y"}, {Write::eraseAll, ""}, {Write::save, "D, w"},
                                   {Write::remove, "E, v"}}),
              "Quitting now loses the session \u201CA, x\u201D, the session \u201CB, y\u201D, the erasing of every saved "
              "session and 2 more.");
}

TEST(PendingWrites, ListedAndFailedWritesAreNamedAsTheLossNamesThem) {
    EXPECT_EQ(PendingWrites::listed({}), "");
    EXPECT_EQ(PendingWrites::listed({{Write::save, "A, x"}, {Write::remove, "B, y"}}),
              "the session \u201CA, x\u201D and the deletion of \u201CB, y\u201D");
    EXPECT_EQ(PendingWrites::failure({Write::save, "SN-4411, Before repair"}),
              "Couldn't save the session \u201CSN-4411, Before repair\u201D");
    EXPECT_EQ(PendingWrites::failure({Write::remove, "A, x"}), "Couldn't delete the session \u201CA, x\u201D");
    EXPECT_EQ(PendingWrites::failure({Write::eraseAll, ""}), "Couldn't erase the history");
}

TEST(PendingWrites, SessionNameIsTheUnitAndTheLabelOrSession) {
    EXPECT_EQ(PendingWrites::sessionName("SN-4411", "Before repair"), "SN-4411, Before repair");
    EXPECT_EQ(PendingWrites::sessionName("Pad", ""), "Pad, session");
    // A label of megabytes is named by its start.
    EXPECT_LT(PendingWrites::sessionName("Pad", std::string(100000, 'x')).size(), 1000u);
}
