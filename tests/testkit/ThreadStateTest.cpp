// The kernel's word on a thread, as the stall watch reads it to tell running, waiting for a core
// and sleeping apart.
#include "testkit/ThreadState.h"

#include <gtest/gtest.h>

using namespace RorozErurEvo;

TEST(ThreadState, StatAndSchedStatTextsGiveNameStateNiceFaultsAndTimes) {
    ThreadState::Reading reading;
    // A name may hold spaces and parentheses of its own; the fields count from the last one.
    const std::string stat = "4242 (Thread (pooled) x) R 1 2 3 0 -1 4194560 917 0 3 0 12 4 0 0 30 10 9 0 "
                              "700 5251072 932 18446744073709551615";
    ASSERT_TRUE(ThreadState::takeStat(stat, reading));
    EXPECT_EQ(reading.name, "Thread (pooled) x");
    EXPECT_EQ(reading.state, 'R');
    EXPECT_EQ(reading.minorFaults, 917u);
    EXPECT_EQ(reading.majorFaults, 3u);
    EXPECT_EQ(reading.nice, 10);
    ASSERT_TRUE(ThreadState::takeStat("7 (w) S 1 2 3 0 -1 0 1 0 2 0 0 0 0 0 20 -5 1 0", reading));
    EXPECT_EQ(reading.nice, -5);
    ASSERT_TRUE(ThreadState::takeSchedStat("82743000 2495308 2\n", reading));
    EXPECT_EQ(reading.ranNs, 82743000u);
    EXPECT_EQ(reading.waitedNs, 2495308u);

    // Text that is not one leaves the reading as it was.
    const ThreadState::Reading before = reading;
    for (const char* wrong : {"", "4242 (name", "4242 (x) R 1 2", "1 (x) RR 1 2 3 0 -1 0 1 0 2 0 0 0 0 0 20 0 1 0",
                              "1 (x) S 1 2 3 0 -1 0 a 0 2 0 0 0 0 0 20 0 1 0", "1 (x) S 1 2 3 0 -1 0 1 0 2 0 0 0 0 0 20 99 1 0"})
        EXPECT_FALSE(ThreadState::takeStat(wrong, reading)) << wrong;
    for (const char* wrong : {"", "12", "12 -3 1", "x 1 2"}) EXPECT_FALSE(ThreadState::takeSchedStat(wrong, reading)) << wrong;
    EXPECT_EQ(reading, before);
}

TEST(ThreadState, TheSystemCallIsNamedAndWhereAThreadStoppedOutsideOneIsKept) {
    EXPECT_EQ(ThreadState::systemCall("running\n"), "running");
    EXPECT_EQ(ThreadState::stoppedAt("running\n"), 0u);
    EXPECT_EQ(ThreadState::systemCall("-1 0x7ffc8ea9fdc0 0x7fe33b9f4aec\n"), "no system call");
    EXPECT_EQ(ThreadState::stoppedAt("-1 0x7ffc8ea9fdc0 0x7fe33b9f4aec\n"), 0x7fe33b9f4aecu);
    const std::string inCall = " 0x3 0x7f37f34d0000 0x20000 0x7f37f3560b60 0xffffffff 0x0 0x7ffeb1532298 0x7f37f36492ad";
#if defined(__x86_64__)
    EXPECT_EQ(ThreadState::systemCall("202" + inCall), "futex");
    EXPECT_EQ(ThreadState::systemCall("7" + inCall), "poll");
    EXPECT_EQ(ThreadState::systemCall("257" + inCall), "openat");
#endif
    EXPECT_EQ(ThreadState::systemCall("999" + inCall), "system call 999");
    EXPECT_EQ(ThreadState::stoppedAt("999" + inCall), 0x7f37f36492adu);
    EXPECT_EQ(ThreadState::systemCall(""), "unknown");
    EXPECT_EQ(ThreadState::systemCall("x1 2 3"), "unknown");
}

TEST(ThreadState, AStretchSaysHowTheTimeWentRunningWaitingForACoreAndAsleep) {
    ThreadState::Reading from;
    from.minorFaults = 10;
    from.majorFaults = 1;
    from.ranNs = 1'000'000;
    from.waitedNs = 500'000;
    ThreadState::Reading to = from;
    to.minorFaults += 130;
    to.ranNs += 12'300'000;
    to.waitedNs += 90'100'000;
    EXPECT_EQ(ThreadState::stretch(from, to, 107.0),
              "ran 12.3 ms, waited 90.1 ms for a core, slept 4.6 ms; 130 minor and 0 major page faults");
    // A reading that failed (all zero) counts nothing rather than a wrapped-around count, and
    // sleep is never negative.
    EXPECT_EQ(ThreadState::stretch(from, {}, 5.0),
              "ran 0 ms, waited 0 ms for a core, slept 5 ms; 0 minor and 0 major page faults");
    EXPECT_EQ(ThreadState::stretch({}, to, 50.0).substr(0, 46), "ran 13.3 ms, waited 90.6 ms for a core, slept ");
    EXPECT_NE(ThreadState::stretch({}, to, 50.0).find("slept 0 ms"), std::string::npos);
}

TEST(ThreadState, AWaitUnderWayTellsOnlyTheTimeRunAndTheFaults) {
    ThreadState::Reading from, to;
    from.ranNs = 2'000'000;
    to.ranNs = 5'500'000;
    to.waitedNs = 40'000'000;
    to.minorFaults = 230;
    to.majorFaults = 1;
    EXPECT_EQ(ThreadState::ran(from, to), "ran 3.5 ms; 230 minor and 1 major page faults");
    EXPECT_EQ(ThreadState::ran(to, from), "ran 0 ms; 0 minor and 0 major page faults");
}
