#include "app/model/KeyboardTester.h"
#include "app/model/Preferences.h"
#include "testkit/ChatterAnalysis.h"
#include "support/TestLog.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace Tessarine;
using namespace RorozErurEvo;
using Kind = KeyboardLayout::Kind;
using Board = KeyboardBoard;

namespace {
constexpr int A = 0, B = 11, Esc = 53;

struct KeyboardFixture : ::testing::Test {
    MemoryPreferences prefs;
    KeyboardTester tester{prefs};
    void SetUp() override { tester.start(); }
};
} // namespace

TEST_F(KeyboardFixture, LayoutComesFromTheDefaultsAndIsWrittenOnEveryAssignment) {
    EXPECT_EQ(tester.layoutKind(), Kind::ansi);
    tester.setLayoutKind(Kind::ansi);
    EXPECT_EQ(prefs.string("keyboardLayout"), QStringLiteral("ansi"));
    prefs.setString("keyboardLayout", "iso");
    EXPECT_EQ(KeyboardTester(prefs).layoutKind(), Kind::iso);
    prefs.setString("keyboardLayout", "ISO");
    EXPECT_EQ(KeyboardTester(prefs).layoutKind(), Kind::ansi);
}

TEST_F(KeyboardFixture, BoardIsKeptApartFromTheLayoutAndStartsCompact) {
    EXPECT_EQ(tester.board(), Board::compact);
    QSignalSpy spy(&tester, &KeyboardTester::changed);
    tester.setBoard(Board::tenkeyless);
    EXPECT_EQ(spy.count(), 1);
    EXPECT_EQ(prefs.string("keyboardBoard"), QStringLiteral("tenkeyless"));
    EXPECT_FALSE(prefs.string("keyboardLayout")); // the layout's key keeps its own values
    tester.setBoard(Board::tenkeyless);
    EXPECT_EQ(spy.count(), 1);
    prefs.setString("keyboardBoard", "fullSize");
    EXPECT_EQ(KeyboardTester(prefs).board(), Board::fullSize);
    // A board the settings name that Tessarine does not know is said in the log.
    TestLog::ExpectedWarnings unknown("tessarine.model", "is none Tessarine knows; the compact board applies");
    for (const char* text : {"full-size", "Tenkeyless", ""}) {
        prefs.setString("keyboardBoard", text);
        EXPECT_EQ(KeyboardTester(prefs).board(), Board::compact) << text;
    }
    EXPECT_EQ(unknown.count(), 2); // an empty text reads as the fallback, "compact"
    // A hand-edited value cannot forge a log line or give the terminal an order.
    TestLog::ExpectedWarnings shown("tessarine.model", "board \u201Cfull\\n[tessarine.model] ok\\x1b[2J\u201D in");
    prefs.setString("keyboardBoard", "full\n[tessarine.model] ok\x1b[2J");
    EXPECT_EQ(KeyboardTester(prefs).board(), Board::compact);
    EXPECT_EQ(shown.count(), 1);
}

TEST_F(KeyboardFixture, PressesReleasesAndRollover) {
    tester.key(A, true, false, 1.0);
    tester.key(A, true, false, 1.01); // arrived twice: a repeat, never a second press
    tester.key(B, true, false, 1.1);
    tester.key(A, false, false, 1.2);
    tester.key(A, false, false, 1.3); // not held: dropped
    ASSERT_EQ(tester.events().size(), 3u);
    EXPECT_EQ(tester.events()[0], (ButtonEvent{"key-0", true, 1.0}));
    EXPECT_EQ(tester.events()[2], (ButtonEvent{"key-0", false, 1.2}));
    EXPECT_EQ(tester.maxRollover(), 2);
    EXPECT_EQ(tester.rolloverKeys(), (std::vector<int>{A, B}));
    EXPECT_EQ(tester.held(), (std::set<int>{B}));
    EXPECT_EQ(tester.lastKey(), B);
}

TEST_F(KeyboardFixture, KeyRepeatDelayAndRateAndNoChatterFromRepeats) {
    tester.key(A, true, false, 0.0);
    tester.key(A, true, true, 0.50);
    EXPECT_EQ(tester.repeatDelay(), 0.5);
    tester.key(A, true, true, 0.53);
    EXPECT_FALSE(tester.repeatRate());
    tester.key(A, true, true, 0.56);
    ASSERT_TRUE(tester.repeatRate());
    EXPECT_NEAR(*tester.repeatRate(), 33.33, 0.01);
    tester.key(A, false, false, 0.6);
    EXPECT_EQ(ChatterAnalysis::total(ChatterAnalysis::analyze(tester.events(), 30)), 0);
    EXPECT_TRUE(tester.results(30).measure("repeat"));
    // A new key empties the repeat log; the delay is measured again from its first repeat.
    tester.key(B, true, false, 1.0);
    tester.key(B, true, true, 1.3);
    EXPECT_NEAR(*tester.repeatDelay(), 0.3, 1e-9);
}

TEST_F(KeyboardFixture, LinuxAutoRepeatReleasesAreIgnored) {
    // X11 auto-repeat: fake release then repeated press, both flagged auto-repeat.
    tester.linuxKey(30, true, false, 0.0); // A
    tester.linuxKey(30, false, true, 0.5);
    tester.linuxKey(30, true, true, 0.5);
    tester.linuxKey(30, false, false, 0.7);
    ASSERT_EQ(tester.events().size(), 2u);
    EXPECT_EQ(tester.repeatDelay(), 0.5);
    tester.stop();
    EXPECT_FALSE(tester.linuxKey(30, true, false, 1.0));
    EXPECT_EQ(tester.events().size(), 2u);
}

TEST_F(KeyboardFixture, HoldingEscStopsCaptureAfterOneAndAHalfSeconds) {
    tester.key(Esc, true, false, 10.0);
    tester.tick(11.49);
    EXPECT_TRUE(tester.capturing());
    tester.tick(11.5);
    EXPECT_FALSE(tester.capturing());
    EXPECT_TRUE(tester.held().empty());

    tester.start();
    tester.key(Esc, true, false, 20.0);
    tester.key(Esc, true, true, 21.6); // a repeat past the limit stops too
    EXPECT_FALSE(tester.capturing());

    tester.start();
    tester.key(Esc, true, false, 30.0);
    tester.key(Esc, false, false, 30.5);
    tester.key(Esc, true, false, 31.0);
    tester.tick(32.0); // the hold began again at 31.0
    EXPECT_TRUE(tester.capturing());
}

TEST_F(KeyboardFixture, ResultListsEveryKeyOfTheBoardWithRolloverAndLayoutLine) {
    auto fresh = tester.results(30);
    EXPECT_EQ(fresh.kind, TestKind::keyboard);
    EXPECT_FALSE(fresh.measure("repeat"));
    ASSERT_TRUE(fresh.measure("rollover"));
    EXPECT_EQ(fresh.measure("rollover")->value, 0);
    EXPECT_EQ(fresh.details.back(), "Layout: US (ANSI), compact board. Most keys registered together: 0.");
    tester.setLayoutKind(Kind::iso);
    tester.linuxKey(41, true, false, 1.0); // left of "1": Section on ISO
    tester.linuxKey(41, false, false, 1.1);
    EXPECT_EQ(tester.events().front().input, "key-10");
    auto iso = tester.results(30);
    EXPECT_EQ(iso.details.back(), "Layout: ISO, compact board. Most keys registered together: 1.");
    EXPECT_EQ(iso.verdict, Verdict::fail);
    // 79 keys, of which both Supers, Menu and right Ctrl only once pressed: the first few missing
    // ones are named, the count is against the 75 the board requires.
    EXPECT_EQ(iso.headline, "Escape, F1, F2 and 71 more not registered, 1 of 75 keys of the compact board, no chatter");
    EXPECT_EQ(iso.details[iso.details.size() - 2], "Not pressed and not required, as many a compact board lacks them "
                                                   "or the desktop keeps them: Left Super, Right Super, Menu, Right Ctrl.");
}

namespace {
// A tenkeyless US board by Linux key code: Esc and F1–F12; the number row; Tab to backslash; Caps
// Lock to Enter; the Shifts and the letters between; Ctrl, Super, Alt, Space, AltGr, right Super,
// Menu, right Ctrl; Print Screen, Scroll Lock, Pause, the six editing keys and the arrows.
const std::vector<int> tenkeylessBoard{
    1,  59, 60, 61, 62, 63, 64, 65, 66, 67, 68, 87, 88,                 // 13
    41, 2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14,             // 14
    15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 43,             // 14
    58, 30, 31, 32, 33, 34, 35, 36, 37, 38, 39, 40, 28,                 // 13
    42, 44, 45, 46, 47, 48, 49, 50, 51, 52, 53, 54,                     // 12
    29, 125, 56, 57, 100, 126, 127, 97,                                 // 8
    99, 70, 119, 110, 102, 104, 111, 107, 109, 103, 105, 108, 106,      // 13
};
// The keypad of a full-size board.
const std::vector<int> keypad{69, 98, 55, 74, 71, 72, 73, 78, 75, 76, 77, 79, 80, 81, 96, 82, 83};
constexpr int leftSuper = 125, rightSuper = 126, menu = 127, rightCtrl = 97, insert = 110, pauseKey = 119, scrollLock = 70,
              printScreen = 99, f5 = 63, keypad5 = 76;

std::vector<int> without(std::vector<int> keys, const std::set<int>& lacking) {
    std::erase_if(keys, [&](int key) { return lacking.contains(key); });
    return keys;
}

// Each key pressed and released once, a quarter of a second apart.
void pressAll(KeyboardTester& tester, const std::vector<int>& keys, double& t) {
    for (int key : keys) {
        tester.linuxKey(key, true, false, t);
        tester.linuxKey(key, false, false, t + 0.08);
        t += 0.25;
    }
}

bool hasDetail(const TestResult& result, const std::string& line) {
    return std::find(result.details.begin(), result.details.end(), line) != result.details.end();
}
} // namespace

TEST_F(KeyboardFixture, AHealthyBoardOfEverySizePassesWithItsBoardChosen) {
    std::vector<int> iso = tenkeylessBoard;
    iso.push_back(86); // the < > key beside the left Shift
    std::vector<int> fullSize = tenkeylessBoard;
    fullSize.insert(fullSize.end(), keypad.begin(), keypad.end());
    // A laptop: no keypad, no Insert, Pause, Scroll Lock, right Super or Menu; Print Screen and
    // the editing keys it has are off the compact board.
    std::vector<int> laptop = without(tenkeylessBoard, {insert, pauseKey, scrollLock, rightSuper, menu});
    struct Case {
        const char* board;
        Kind kind;
        Board size;
        std::vector<int> keys;
        std::string headline;
        std::vector<std::string> lines;
    };
    const std::vector<Case> cases{
        {"tenkeyless, 87 keys", Kind::ansi, Board::tenkeyless, tenkeylessBoard,
         "all 83 keys of the tenkeyless board OK + 4 optional, no chatter", {}},
        {"tenkeyless ISO, 88 keys", Kind::iso, Board::tenkeyless, iso,
         "all 84 keys of the tenkeyless board OK + 4 optional, no chatter", {}},
        // Fn in right Super's place sends nothing.
        {"tenkeyless with Fn", Kind::ansi, Board::tenkeyless, without(tenkeylessBoard, {rightSuper}),
         "all 83 keys of the tenkeyless board OK + 3 optional, no chatter",
         {"Not pressed and not required, as many a tenkeyless board lacks it: Right Super."}},
        {"full-size, 104 keys", Kind::ansi, Board::fullSize, fullSize,
         "all 100 keys of the full-size board OK + 4 optional, no chatter", {}},
        {"laptop", Kind::ansi, Board::compact, laptop, "all 74 keys of the compact board OK + 2 optional, no chatter",
         {"Other keys: Print Screen 1×, Home 1×, Page Up 1×, Delete 1×, End 1×, Page Down 1×.",
          "Not pressed and not required, as many a compact board lacks them: Right Super, Menu."}},
        {"laptop without right Ctrl", Kind::ansi, Board::compact, without(laptop, {rightCtrl}),
         "all 74 keys of the compact board OK + 1 optional, no chatter", {}},
        // The desktop binds a lone Super to its overview and Print Screen to its screenshot tool.
        {"tenkeyless on a desktop that keeps Super and Print Screen", Kind::ansi, Board::tenkeyless,
         without(tenkeylessBoard, {leftSuper, printScreen}),
         "all 83 keys of the tenkeyless board OK + 2 optional, no chatter",
         {"Not pressed and not required, as the desktop often keeps them: Left Super, Print Screen."}},
        {"laptop on a desktop that keeps Super", Kind::ansi, Board::compact, without(laptop, {leftSuper}),
         "all 74 keys of the compact board OK + 1 optional, no chatter",
         {"Not pressed and not required, as many a compact board lacks them or the desktop keeps them: Left Super, "
          "Right Super, Menu."}},
    };
    for (const auto& c : cases) {
        tester.reset();
        tester.setLayoutKind(c.kind);
        tester.setBoard(c.size);
        double t = 1;
        pressAll(tester, c.keys, t);
        auto result = tester.results(30);
        EXPECT_EQ(result.verdict, Verdict::pass) << c.board;
        EXPECT_EQ(result.headline, c.headline) << c.board;
        for (const auto& line : c.lines) EXPECT_TRUE(hasDetail(result, line)) << c.board << ": " << line;
    }
    EXPECT_EQ(tester.results(30).details.back(), "Layout: US (ANSI), compact board. Most keys registered together: 1.");
}

TEST_F(KeyboardFixture, AMissingKeyOfTheBoardFailsAndIsNamedWhileKeysBeyondItNeverFail) {
    tester.setBoard(Board::tenkeyless);
    double t = 1;
    pressAll(tester, without(tenkeylessBoard, {f5, scrollLock}), t);
    // The keypad is beyond a tenkeyless board: its presses, even bouncing, fail nothing.
    pressAll(tester, keypad, t);
    tester.linuxKey(keypad5, true, false, t);
    tester.linuxKey(keypad5, false, false, t + 0.05);
    tester.linuxKey(keypad5, true, false, t + 0.06);
    tester.linuxKey(keypad5, false, false, t + 0.1);
    auto result = tester.results(30);
    EXPECT_EQ(result.verdict, Verdict::fail);
    EXPECT_EQ(result.headline,
              "F5 and Scroll Lock not registered, 81 of 83 keys of the tenkeyless board + 4 optional, no chatter");
    EXPECT_TRUE(hasDetail(result, "Not registered: F5, Scroll Lock."));
    // The keys beyond the board are named with their presses, as the screen lists them.
    EXPECT_TRUE(hasDetail(result, "Other keys: Num Lock 1×, Keypad / 1×, Keypad * 1×, Keypad - 1×, Keypad 7 1×, "
                                  "Keypad 8 1×, Keypad 9 1×, Keypad + 1×, Keypad 4 1×, Keypad 5 3×, Keypad 6 1×, "
                                  "Keypad 1 1×, Keypad 2 1×, Keypad 3 1×, Keypad Enter 1×, Keypad 0 1×, Keypad . 1×."));
    EXPECT_EQ(result.measure("chatter")->value, 0);

    // The same presses with the full-size board chosen count the keypad's bounce.
    tester.setBoard(Board::fullSize);
    result = tester.results(30);
    EXPECT_EQ(result.headline,
              "F5 and Scroll Lock not registered, 98 of 100 keys of the full-size board + 4 optional, chatter on Keypad 5");

    // An optional key that is pressed counts like any other, chatter included.
    tester.reset();
    tester.setBoard(Board::compact);
    tester.linuxKey(menu, true, false, 1.0);
    tester.linuxKey(menu, false, false, 1.05);
    tester.linuxKey(menu, true, false, 1.06);
    result = tester.results(30);
    EXPECT_EQ(result.headline,
              "Escape, F1, F2 and 71 more not registered, 0 of 74 keys of the compact board + 1 optional, chatter on Menu");
    // A saved result keeps no key codes, only its texts and figures, and reads back whole.
    EXPECT_EQ(TestResult::fromJson(result.toJson()).toJson(), result.toJson());
}

TEST_F(KeyboardFixture, ResetKeepsCaptureAndDropsReleasesOfKeysHeldBefore) {
    QSignalSpy spy(&tester, &KeyboardTester::changed);
    tester.key(A, true, false, 1.0);
    tester.reset();
    EXPECT_TRUE(tester.capturing());
    tester.key(A, false, false, 1.5);
    EXPECT_TRUE(tester.events().empty());
    EXPECT_GE(spy.count(), 2);
}
