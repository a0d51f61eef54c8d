#include "app/views/testers/KeyboardDrawing.h"
#include "app/views/testers/TesterTexts.h"

#include <gtest/gtest.h>

using namespace Tessarine;
using RorozErurEvo::ButtonEvent;
using RorozErurEvo::KeyboardLayout;

namespace {
using Board = RorozErurEvo::KeyboardBoard;
const KeyboardLayout& ansi() { return KeyboardLayout::layout(KeyboardLayout::Kind::ansi); }
const KeyboardLayout& iso() { return KeyboardLayout::layout(KeyboardLayout::Kind::iso); }
using RorozErurEvo::LinuxKeyCodes::lifted;
} // namespace

TEST(KeyboardTexts, FiguresBeforeAnyKey) {
    // The compact board's keys less both Supers, Menu and right Ctrl, which count once pressed; a
    // tenkeyless or full-size board's less both Supers, Menu and Print Screen.
    EXPECT_EQ(KeyboardTexts::progress(KeyboardTexts::count(ansi(), Board::compact, {})), "Keys tested: 0 of 74 required keys");
    EXPECT_EQ(KeyboardTexts::progress(KeyboardTexts::count(iso(), Board::compact, {})), "Keys tested: 0 of 75 required keys");
    EXPECT_EQ(KeyboardTexts::progress(KeyboardTexts::count(ansi(), Board::tenkeyless, {})), "Keys tested: 0 of 83 required keys");
    EXPECT_EQ(KeyboardTexts::progress(KeyboardTexts::count(iso(), Board::fullSize, {})), "Keys tested: 0 of 101 required keys");
    EXPECT_EQ(KeyboardTexts::held(ansi(), {}), "none");
    EXPECT_EQ(KeyboardTexts::repeat(std::nullopt, std::nullopt), "hold a key to measure");
    EXPECT_EQ(KeyboardTexts::chatterList(ansi(), {}), "none");
    EXPECT_EQ(KeyboardTexts::drawingValue(ansi(), {0, 75, 0}, {}), "0 of 75 required keys tested");
}

TEST(KeyboardTexts, CountsOnlyKeysOfTheBoardAndItsOptionalKeysOncePressed) {
    // 10 is the ISO "Section" key; 9999 is no key at all; Insert is off a compact board.
    const int insert = lifted(110), rightSuper = lifted(126), menu = 54;
    EXPECT_EQ(KeyboardTexts::count(ansi(), Board::compact, {0, 1, 10, 9999, insert}), (KeyboardTexts::KeyCount{2, 74, 0}));
    EXPECT_EQ(KeyboardTexts::count(iso(), Board::compact, {0, 1, 10, 9999, insert}), (KeyboardTexts::KeyCount{3, 75, 0}));
    EXPECT_EQ(KeyboardTexts::count(ansi(), Board::tenkeyless, {0, insert}), (KeyboardTexts::KeyCount{2, 83, 0}));
    // Optional keys pressed are counted apart: the total stays the board's required keys.
    EXPECT_EQ(KeyboardTexts::count(ansi(), Board::tenkeyless, {0, rightSuper, menu}), (KeyboardTexts::KeyCount{1, 83, 2}));
    std::set<int> everyKey;
    for (const auto& key : ansi().keys(Board::fullSize)) everyKey.insert(key.code);
    const auto full = KeyboardTexts::count(ansi(), Board::fullSize, everyKey);
    EXPECT_EQ(KeyboardTexts::progress(full), "Keys tested: 100 of 100 required keys + 4 optional");
    everyKey.erase(menu);
    EXPECT_EQ(KeyboardTexts::progress(KeyboardTexts::count(ansi(), Board::fullSize, everyKey)),
              "Keys tested: 100 of 100 required keys + 3 optional");
}

TEST(KeyboardTexts, HeldKeysByAscendingCodeAndKeysTheDrawingLacksByTheirNames) {
    // S is 1, A is 0, Space 49, Insert lifted from Linux 110; F13 and 9999 have no key drawn.
    const int insert = lifted(110), f13 = lifted(183);
    EXPECT_EQ(KeyboardTexts::held(ansi(), {49, 1, 0, insert, f13, 9999}), "6: A, S, Space, Insert, F13, Key 9999");
    EXPECT_EQ(KeyboardTexts::drawingValue(ansi(), {3, 76, 1}, {1, 0, f13}),
              "3 of 76 required keys tested + 1 optional; held: A, S, F13");
}

TEST(KeyboardTexts, OtherKeysListsThePressesOfKeysTheBoardLacks) {
    const std::string f13 = "key-" + std::to_string(lifted(183));
    const std::string keypad1 = "key-" + std::to_string(lifted(79));
    const std::string unassigned = "key-" + std::to_string(lifted(84));
    EXPECT_EQ(KeyboardTexts::otherKeys(ansi(), Board::fullSize, {}), "none");
    std::vector<ButtonEvent> events{
        {f13, true, 0.0},     {f13, false, 0.1},      {"key-63", true, 0.2}, // Fn, which no PC board draws
        {keypad1, true, 0.3}, {keypad1, false, 0.4},  {"key-10", true, 0.5}, // the ISO board's < > key
        {f13, true, 0.6},     {"key-x", true, 0.7},   {unassigned, true, 0.8},
    };
    EXPECT_EQ(KeyboardTexts::otherKeys(ansi(), Board::fullSize, events),
              "F13 2×, Fn 1×, < > key 1×, Unknown key (code 84) 1×");
    EXPECT_EQ(KeyboardTexts::otherKeys(iso(), Board::fullSize, events), "F13 2×, Fn 1×, Unknown key (code 84) 1×");
    // The keypad is beyond a tenkeyless board.
    EXPECT_EQ(KeyboardTexts::otherKeys(iso(), Board::tenkeyless, events),
              "F13 2×, Fn 1×, Keypad 1 1×, Unknown key (code 84) 1×");
}

TEST(KeyboardTexts, TheDashedKeysAreNamedForTheBoard) {
    EXPECT_EQ(KeyboardTexts::optionalNote(ansi(), Board::compact),
              "Dashed keys (Left Super, Right Super, Menu, Right Ctrl) count once pressed and are never required: "
              "many compact boards lack some of them, and the desktop often keeps Super for itself.");
    EXPECT_EQ(KeyboardTexts::optionalNote(iso(), Board::tenkeyless),
              "Dashed keys (Left Super, Right Super, Menu, Print Screen) count once pressed and are never required: "
              "many tenkeyless boards lack some of them, and the desktop often keeps Super and Print Screen for "
              "itself.");
}

TEST(KeyboardTexts, RepeatRateAndDelay) {
    EXPECT_EQ(KeyboardTexts::repeat(100.0 / 3, 0.5), "33.3 per second, after 0.5 s");
    EXPECT_EQ(KeyboardTexts::repeat(25, 0.257), "25 per second, after 0.26 s");
    EXPECT_EQ(KeyboardTexts::repeat(25, std::nullopt), "25 per second");
}

TEST(KeyboardTexts, ChatterKeepsOnlyChatteringKeysAndNamesThem) {
    std::vector<ButtonEvent> events{
        {"key-0", true, 0.0},   {"key-0", false, 0.1}, {"key-0", true, 0.12}, {"key-0", false, 0.2}, // A bounces
        {"key-1", true, 1.0},   {"key-1", false, 1.1}, {"key-1", true, 2.0},                         // S is clean
        {"key-x", true, 3.0},   {"key-x", false, 3.1}, {"key-x", true, 3.11},                        // no code
        {"key-777", true, 4.0}, {"key-777", false, 4.1}, {"key-777", true, 4.11},                    // no key
    };
    auto chatter = KeyboardTexts::chatter(events, 30);
    ASSERT_EQ(chatter.size(), 3u);
    EXPECT_EQ(KeyboardTexts::chatterCodes(chatter), (std::set<int>{0, 777}));
    EXPECT_EQ(KeyboardTexts::chatterList(ansi(), chatter), "A 1×, Key 777 1×, key-x 1×");
}

TEST(KeyboardTexts, SessionNamesFollowTheLayout) {
    EXPECT_EQ(KeyboardTexts::sessionName(KeyboardLayout::Kind::ansi), "Keyboard (US (ANSI))");
    EXPECT_EQ(KeyboardTexts::sessionName(KeyboardLayout::Kind::iso), "Keyboard (ISO)");
}

TEST(KeyboardGeometry, KeySizesAndFontsFollowTheWidth) {
    // The full-size board is 22.5 units wide: the main block's 14.5, the navigation block, the keypad.
    const double u = KeyboardGeometry::unit(1400, Board::fullSize);
    EXPECT_NEAR(u, 58.22, 0.01);
    EXPECT_EQ(KeyboardGeometry::labelSize(u), 13);
    EXPECT_EQ(KeyboardGeometry::labelSize(20), 8);
    EXPECT_NEAR(KeyboardGeometry::labelSize(40), 11.2, 1e-9);
    EXPECT_EQ(KeyboardGeometry::markSize(20), 7);

    auto caps = KeyboardGeometry::caps(ansi(), Board::fullSize, u);
    EXPECT_EQ(caps.size(), 104u);
    // Both parts of the ISO return key are drawn.
    EXPECT_EQ(KeyboardGeometry::caps(iso(), Board::fullSize, u).size(), 106u);
    EXPECT_EQ(KeyboardGeometry::caps(iso(), Board::tenkeyless, u).size(), 89u);
    EXPECT_EQ(KeyboardGeometry::caps(ansi(), Board::compact, u).size(), 78u);
    auto space = std::find_if(caps.begin(), caps.end(), [](const auto& cap) { return cap.key.code == 49; });
    ASSERT_NE(space, caps.end());
    EXPECT_NEAR(space->frame.width(), 5 * u + 16, 1e-9);
    // Every key ends inside the board: 22.5 units and their spacing.
    for (const auto& cap : caps) EXPECT_LE(cap.frame.right(), 1400 - 4 + 1e-9);

    // The smaller boards are 18 units wide: the arrows or the navigation block beside the main block.
    EXPECT_NEAR(KeyboardGeometry::unit(1200, Board::compact), (1200 - 72) / 18.0, 1e-9);
    for (Board board : {Board::compact, Board::tenkeyless}) {
        const double small = KeyboardGeometry::unit(1200, board);
        for (const auto& cap : KeyboardGeometry::caps(iso(), board, small))
            EXPECT_LE(cap.frame.right(), 1200 - 4 + 1e-9) << cap.key.name;
    }
    EXPECT_EQ(KeyboardGeometry::maximumWidth(Board::fullSize), 1519);
    EXPECT_EQ(KeyboardGeometry::maximumWidth(Board::compact), 1215);

    // A drawing too narrow for its spacing has keys of no size, never negative ones.
    for (const auto& cap : KeyboardGeometry::caps(ansi(), Board::fullSize, KeyboardGeometry::unit(30, Board::fullSize))) {
        EXPECT_GE(cap.frame.width(), 0);
        EXPECT_GE(cap.frame.height(), 0);
    }
}

namespace {
QRectF frameOf(const KeyboardLayout& layout, double u, const std::string& name) {
    for (const auto& cap : KeyboardGeometry::caps(layout, Board::fullSize, u))
        if (cap.key.name == name && cap.key.label != "") return cap.frame;
    return {};
}
} // namespace

TEST(KeyboardGeometry, TheMainBlockKeepsItsPlacesAndTheSideBlocksSitBesideIt) {
    // With a unit of 40 a key and a spacing are 44 points.
    const double u = 40;
    EXPECT_EQ(frameOf(ansi(), u, "Escape"), QRectF(0, 0, 62, 40));
    EXPECT_EQ(frameOf(ansi(), u, "F12"), QRectF(550, 0, 40, 40));
    EXPECT_EQ(frameOf(ansi(), u, "Backspace"), QRectF(572, 44, 62, 40));
    EXPECT_EQ(frameOf(ansi(), u, "Backslash"), QRectF(594, 88, 40, 40));
    EXPECT_EQ(frameOf(ansi(), u, "A"), QRectF(77, 132, 40, 40));
    EXPECT_EQ(frameOf(ansi(), u, "Enter"), QRectF(561, 132, 73, 40));
    EXPECT_EQ(frameOf(ansi(), u, "Left Shift"), QRectF(0, 176, 95, 40));
    EXPECT_EQ(frameOf(ansi(), u, "Right Shift"), QRectF(539, 176, 95, 40));
    EXPECT_EQ(frameOf(iso(), u, "< > key"), QRectF(55, 176, 40, 40));
    EXPECT_EQ(frameOf(iso(), u, "Enter"), QRectF(594, 88, 40, 40));
    auto caps = KeyboardGeometry::caps(ansi(), Board::fullSize, u);
    auto space = std::find_if(caps.begin(), caps.end(), [](const auto& cap) { return cap.key.code == 49; });
    EXPECT_EQ(space->frame, QRectF(187, 220, 216, 40));

    // Every key of the main block ends by 14.5 units; the side blocks start half a unit on, and no
    // two keys overlap.
    const double mainRight = 14.5 * 44 - 4;
    for (const auto& layout : {&ansi(), &iso()}) {
        auto all = KeyboardGeometry::caps(*layout, Board::fullSize, u);
        for (const auto& cap : all) {
            const bool side = std::any_of(layout->side.begin(), layout->side.end(),
                                          [&](const auto& placed) { return placed.key.code == cap.key.code; });
            if (side)
                EXPECT_GE(cap.frame.left(), mainRight + 26) << cap.key.name;
            else
                EXPECT_LE(cap.frame.right(), mainRight) << cap.key.name;
            EXPECT_LE(cap.frame.bottom(), 6 * 44 - 4) << cap.key.name;
            for (const auto& other : all) {
                if (&other == &cap) continue;
                EXPECT_FALSE(cap.frame.intersects(other.frame)) << cap.key.name << " / " << other.key.name;
            }
        }
    }
    EXPECT_EQ(frameOf(ansi(), u, "Keypad +"), QRectF(21.5 * 44, 88, 40, 84));
    EXPECT_EQ(frameOf(ansi(), u, "Keypad 0"), QRectF(18.5 * 44, 220, 84, 40));

    // A compact board has the arrows where a tenkeyless one has them, and only its optional keys
    // are marked so.
    for (const auto& cap : KeyboardGeometry::caps(ansi(), Board::compact, u)) {
        if (cap.key.name == "Up arrow") {
            EXPECT_EQ(cap.frame, QRectF(16 * 44, 176, 40, 40));
        }
        EXPECT_EQ(cap.optional, cap.key.name == "Left Super" || cap.key.name == "Right Super" ||
                                    cap.key.name == "Menu" || cap.key.name == "Right Ctrl")
            << cap.key.name;
    }
}

TEST(MouseTexts, BoxTexts) {
    EXPECT_EQ(MouseTexts::clicks({{0, 2}, {5, 1}}), "Clicks: Left 2, Right 0, Middle 0, Back (4) 0, Forward (5) 0");
    EXPECT_EQ(MouseTexts::chatterCaption(80), "A release and a new press less than 80 ms apart is one click registering twice.");
    EXPECT_EQ(MouseTexts::steps({3, 1, 0, 1}), "Steps up: 3   down: 1");
    EXPECT_EQ(MouseTexts::reversals(0), "No reversals");
    EXPECT_EQ(MouseTexts::reversals(1), "1 reversal (a step the wrong way)");
    EXPECT_EQ(MouseTexts::reversals(2), "2 reversals (a step the wrong way)");
    EXPECT_EQ(MouseTexts::smooth(4),
              "4 smooth-scroll events (trackpad or touch mouse); step counts are for notched wheels.");
    EXPECT_EQ(MouseTexts::rate(std::nullopt), "Move the mouse in the test area");
    EXPECT_EQ(MouseTexts::rate(RorozErurEvo::TimedRate{124.6}), "About 125 Hz while moving");
    EXPECT_EQ(MouseTexts::rate(RorozErurEvo::TimedRate{1000, true, 0.001}),
              "\u2265 1,000 reports/s (the system times events to the millisecond)");
    EXPECT_EQ(MouseTexts::holding(2.46), "Holding… 2.5 of 5 s");
    EXPECT_EQ(MouseTexts::holding(7.2), "Holding… 5 of 5 s");
    EXPECT_EQ(MouseTexts::done(0, 5.04), "Held 5 s with no drops");
    EXPECT_EQ(MouseTexts::done(1, 5), "1 unexpected release");
    EXPECT_EQ(MouseTexts::done(3, 5), "3 unexpected releases");
}

TEST(MouseTexts, OnlyTheLastEightClicksShow) {
    std::vector<RorozErurEvo::ClickInterval> intervals;
    for (int i = 0; i < 11; ++i) intervals.push_back({double(i), 100, 50.0 + i, false});
    auto shown = MouseTexts::shownClicks(intervals);
    ASSERT_EQ(shown.size(), 8u);
    EXPECT_EQ(shown.front().t, 3);
    EXPECT_EQ(shown.back().t, 10);
    EXPECT_EQ(MouseTexts::sinceRelease(shown.front()), "53 ms after release");
    EXPECT_EQ(MouseTexts::sinceRelease({0, 10, 4.5, true}), "4.5 ms after release");
}
