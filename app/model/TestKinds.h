#pragma once
// One record per kind of guided test: how the phase machine drives it, frame by frame, and how
// the finishing step turns what it recorded into a result. The phase machine (TestPhases::step)
// and the finishing step (TestRunner::analyze) read nothing else about a kind, so a new kind is
// one more record beside its siblings. Main thread.
#include <optional>
#include <span>
#include <string>

#include "app/model/ActiveTest.h"
#include "testkit/TestResult.h"
#include "testkit/Thresholds.h"

namespace Tessarine {

class InputDevice;
namespace TestPhases {
struct Frame;
}

namespace TestKinds {

using Active = ActiveTest;

// Everything the finishing step reads besides the ended test.
struct Ending {
    const Active& active;
    double now = 0;                       // uptime seconds the test ends at
    const InputDevice& device;            // the test device (raw partner or the runner's own)
    const InputDevice& own;               // the runner's device (sensors, battery, raw partner)
    RorozErurEvo::Thresholds thresholds;  // in effect for the runner's device
    RorozErurEvo::GateShape gate = RorozErurEvo::GateShape::round; // the test's gate choice
    bool fit = false;                     // the test's fit choice
    RorozErurEvo::ValueSource source = RorozErurEvo::ValueSource::processed;
    RorozErurEvo::Date date;              // stamped on the result
};

// Advances the running test by one frame, `elapsed` seconds after it began; true when it is
// complete.
using Step = bool (*)(Active& active, const TestPhases::Frame& frame, double elapsed);
// The result over what the ended test recorded; nothing when its target does not fit the kind
// or the device lacks the element.
using Finish = std::optional<RorozErurEvo::TestResult> (*)(const Ending& ending);
// How far the ended test got ("1 release, 1 of 8 directions") when it ended short of its
// completion rule; nothing when it got there. Every kind the tick drives has one. The waits for
// quiet that end a test by itself are no part of what it measures and count as met.
using Shortfall = std::optional<std::string> (*)(const Ending& ending, const RorozErurEvo::TestResult& result);

struct Record {
    RorozErurEvo::TestKind kind = RorozErurEvo::TestKind::drift;
    // Reads the runner's own device, whatever the test's raw flag says.
    bool ownSensor = false;
    // Answered by a person item by item: no phases, a result of manual source.
    bool manual = false;
    Step step = nullptr;     // none: the test ends by Done or a cancel
    Finish finish = nullptr; // none, or nothing returned: the result says "not run"
    Shortfall shortfall = nullptr; // none: never ended short (no rule of its own to meet)
};

// Every kind's record, in the order of the kind files.
std::span<const Record> all();
// The records of each family of kinds, each in its own file.
std::span<const Record> stickRecords();
std::span<const Record> buttonRecords();
std::span<const Record> axisRecords();
std::span<const Record> sensorRecords();
// The kind's record; an empty one (never ends by itself, "not run") for a kind without one.
const Record& record(RorozErurEvo::TestKind kind);

} // namespace TestKinds
} // namespace Tessarine
