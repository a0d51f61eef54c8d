#pragma once
// The words of the bench's test cards, worked out from values alone: object names, button
// titles, the state a card is in, the texts of the manual checklist and of the soak card. The
// card widgets only place these texts, so every rule here is tested without a widget.
#include <QString>

#include <array>
#include <optional>
#include <string>

#include "testkit/GuidedTest.h"
#include "testkit/Measure.h"
#include "testkit/SoakAnalysis.h"
#include "testkit/TestResult.h"

namespace Tessarine::CardText {

using RorozErurEvo::GuidedTest;
using RorozErurEvo::TestKind;

// ---- test cards

// The four faces of a test card:
//   ready    no result and not running: the instructions and "Run";
//   running  this card's test is the runner's active test: the running view, "Done" and "Cancel";
//   done     a result is held: the compact verdict, the result view and "Run Again";
//   manual   a check a person answers: the checklist, the verdict once it is saved, no buttons.
enum class State { ready, running, done, manual };

// Rumble, lights and adaptive triggers: judged by a person, never run by the tick.
bool isManual(TestKind kind);
State state(TestKind kind, bool running, bool hasResult);

// "test-" and the test's id lower-cased with every "|" and blank turned into "-":
// "test-drift-left-stick-processed".
QString key(const GuidedTest& test);
QString runName(const QString& key);  // "run-" + key
QString doneName(const QString& key); // "done-" + key
// "Run", or "Run Again" once a result is held.
QString runTitle(bool hasResult);
// A run button waits while any test of the device runs and while the batch drift test runs.
bool runEnabled(bool deviceTestActive, bool batchRunning);
// What the card's header reads as one element: the title, and the verdict word when shown.
QString headerName(const QString& title, std::optional<RorozErurEvo::Verdict> verdict);

// "headline-" and the kind's raw value: the same for every element's result of one kind.
QString headlineName(TestKind kind);
// The live circularity plot's label: "<element> so far".
QString livePlotLabel(const std::string& element);
// The card's note after a run that ended without a result: "This run ended without a result.",
// or with an earlier result still shown, "This run ended without a new result. Below is the
// earlier result, from <date and time>."
QString endedNote(std::optional<RorozErurEvo::Date> earlier);

// ---- manual checks

// The segment of an answer: 0 "–" (none), 1 "Works", 2 "Doesn't".
// What a screen reader says for a segment: the "–" reads "Not answered", the others their text.
QString answerSpoken(int code);
int answerCode(std::optional<bool> works);
// The answer a chosen segment records; none for "–", which only shows an unanswered item.
std::optional<bool> answerOfCode(int code);
inline const std::array<QString, 3>& answerSegments() {
    static const std::array<QString, 3> segments{QStringLiteral("\u2013"), QStringLiteral("Works"),
                                                 QStringLiteral("Doesn't")};
    return segments;
}
// "Save Result", or "Update Result" once a result is recorded.
QString saveTitle(bool hasResult);
QString playName(const std::string& item);   // "Play <item>"
QString answerName(const std::string& item); // "<item> result"

// ---- soak card

// The lengths the card offers, minutes.
inline constexpr std::array<double, 3> soakLengths{5, 10, 15};
// "<n> min" with n whole minutes.
QString soakLengthLabel(double minutes);
// The offered length equal to `minutes`, or -1 for a length set elsewhere (no selection).
int soakLengthIndex(double minutes);
// Run waits while a soak runs anywhere, a test of this device runs or the batch drift test runs.
bool soakRunEnabled(bool soakRunning, bool deviceTestActive, bool batchRunning);

// Seconds of the run shown as done: the elapsed time, never past the planned length.
double soakShown(double seconds, double elapsed);
// The share of the run done, 0 … 1.
double soakFraction(double seconds, double elapsed);
// "Keep a stick moving. <m:ss> left."
QString soakStatus(double seconds, double elapsed);
QString soakWaiting();
QString soakElsewhere();
// "<n> dropout(s) · <n> disconnect(s) · input <p>% of the time", then " · <r> reports/s now"
// when a live rate is known.
QString soakCaption(const RorozErurEvo::SoakReport& report, std::optional<double> recentRate);

} // namespace Tessarine::CardText
