#pragma once
// The texts of the keyboard and mouse tester screens, built from the testers' values alone so
// that they are tested without a window.
#include <QString>

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "testkit/ChatterAnalysis.h"
#include "testkit/ClickIntervals.h"
#include "testkit/KeyboardLayout.h"
#include "testkit/KeyboardResult.h"
#include "testkit/ScrollAnalysis.h"
#include "testkit/TimedRate.h"

namespace Tessarine {

namespace KeyboardTexts {
// How many of the board's required keys have been tested, of how many, and how many of its
// optional keys were pressed (KeyboardResult::count): the progress and the result count alike,
// and pressing an optional key never changes the total. Codes off the board do not count.
using KeyCount = RorozErurEvo::KeyboardResult::KeyCount;
KeyCount count(const RorozErurEvo::KeyboardLayout& layout, RorozErurEvo::KeyboardBoard board,
               const std::set<int>& tested);
// "Keys tested: 3 of 75 required keys", then " + 2 optional" once optional keys were pressed.
QString progress(KeyCount count);
// Entries of the chatter analysis with at least one chatter, keyed by input name.
std::map<std::string, RorozErurEvo::InputChatter> chatter(const std::vector<RorozErurEvo::ButtonEvent>& events,
                                                           double windowMs);
// The key codes of those entries ("key-12" → 12); names that carry no code are skipped.
std::set<int> chatterCodes(const std::map<std::string, RorozErurEvo::InputChatter>& chatter);
// "none", or "2: A, S" in ascending code order; keys the layout lacks by their own names.
QString held(const RorozErurEvo::KeyboardLayout& layout, const std::set<int>& held);
// "hold a key to measure", or "33.3 per second, after 0.50 s".
QString repeat(std::optional<double> rate, std::optional<double> delay);
// "none", or "A 2×, Return 1×".
QString chatterList(const RorozErurEvo::KeyboardLayout& layout,
                    const std::map<std::string, RorozErurEvo::InputChatter>& chatter);
// The drawing's accessible value: "3 of 75 required keys tested + 1 optional; held: A, S".
QString drawingValue(const RorozErurEvo::KeyboardLayout& layout, KeyCount count, const std::set<int>& held);
// The keys pressed that the board lacks, with their presses, first pressed first: "none", or
// "F13 2×, Fn 1×".
QString otherKeys(const RorozErurEvo::KeyboardLayout& layout, RorozErurEvo::KeyboardBoard board,
                  const std::vector<RorozErurEvo::ButtonEvent>& events);
// What the board picker's three boards hold, for its tooltip and screen readers.
QString boardsDescription();
// What the drawing's dashed keys mean: "Dashed keys (Left Super, Right Super, Menu, Print Screen)
// count once pressed and are never required: many tenkeyless boards lack some of them, and the
// desktop often keeps Super and Print Screen for itself."
QString optionalNote(const RorozErurEvo::KeyboardLayout& layout, RorozErurEvo::KeyboardBoard board);
// The session name of a keyboard result: "Keyboard (US (ANSI))".
std::string sessionName(RorozErurEvo::KeyboardLayout::Kind kind);
} // namespace KeyboardTexts

namespace MouseTexts {
// Buttons the screen lists: the five standard ones.
constexpr int listedButtons = 5;
// Click intervals shown, newest last.
constexpr std::size_t shownIntervals = 8;
// The test area's accessible value: "Clicks: Left 2, Right 0, Middle 0, Back (4) 0, Forward (5) 0".
QString clicks(const std::map<int, int>& counts);
// "A release and a new press less than 80 ms apart is one click registering twice."
QString chatterCaption(double windowMs);
// The last `shownIntervals` intervals, oldest first.
std::vector<RorozErurEvo::ClickInterval> shownClicks(const std::vector<RorozErurEvo::ClickInterval>& intervals);
// "12 ms after release".
QString sinceRelease(const RorozErurEvo::ClickInterval& interval);
// "Steps up: 3   down: 1".
QString steps(const RorozErurEvo::ScrollReport& report);
// "No reversals", "1 reversal (a step the wrong way)", "2 reversals (a step the wrong way)".
QString reversals(int count);
// "4 smooth-scroll events (trackpad or touch mouse); step counts are for notched wheels."
QString smooth(int count);
// "Move the mouse in the test area", "About 125 Hz while moving", or when the moves came faster
// than their stamps resolve "≥ 1,000 reports/s (the system times events to the millisecond)".
QString rate(const std::optional<RorozErurEvo::TimedRate>& rate);
// "Holding… 2.5 of 5 s", never past the check's length.
QString holding(double elapsed);
// "Held 5 s with no drops", "1 unexpected release", "3 unexpected releases".
QString done(int drops, double seconds);
} // namespace MouseTexts

} // namespace Tessarine
