#pragma once
// The mouse tester: presses per button, the press and release log for the double-click chatter
// check, wheel steps, the pointer's report rate from movement times, and a five-second hold
// check of the left button. Events come from the tester's pad with explicit uptime seconds.
#include <QObject>

#include <map>
#include <optional>
#include <set>
#include <string>
#include <variant>
#include <vector>

#include "testkit/Date.h"
#include "testkit/Samples.h"
#include "testkit/ScrollAnalysis.h"
#include "testkit/TestResult.h"
#include "testkit/TimedRate.h"

namespace Tessarine {

class MouseTester : public QObject {
    Q_OBJECT
public:
    // Hold check:
    //   idle ──startHold──▶ waiting ──left press──▶ holding(since) ──tick ≥ 5 s, left up──▶ done
    //   any ──startHold──▶ waiting (log emptied);  any ──reset──▶ idle
    //   while holding, every left press and release is logged; a release then a press is a drop.
    struct Idle {
        friend bool operator==(const Idle&, const Idle&) = default;
    };
    struct Waiting {
        friend bool operator==(const Waiting&, const Waiting&) = default;
    };
    struct Holding {
        double since = 0; // uptime seconds of the first press
        friend bool operator==(const Holding&, const Holding&) = default;
    };
    struct Done {
        int drops = 0;
        double seconds = 0;
        friend bool operator==(const Done&, const Done&) = default;
    };
    using HoldState = std::variant<Idle, Waiting, Holding, Done>;

    static constexpr double holdSeconds = 5.0;        // length of the hold check
    static constexpr double rateWindow = 1.0;         // seconds of movement the rate is taken over
    static constexpr double rateRefresh = 0.25;       // seconds between rate estimates
    // Qt stamps pointer events in whole milliseconds: a mouse whose moves mostly share their
    // millisecond is told as at least 1,000/s.
    static constexpr double stampResolution = RorozErurEvo::ReportRateAnalysis::millisecondStamps;
    static constexpr std::size_t moveLogLimit = 4000; // moves kept before the oldest half is cut
    static constexpr double wheelRunGap = 0.3;        // seconds of pause that end a run of wheel steps
    static constexpr int angleUnitsPerStep = 120;     // Qt angle delta of one wheel notch (eighths of a degree)

    explicit MouseTester(QObject* parent = nullptr);

    const std::set<int>& pressed() const { return pressed_; }
    const std::map<int, int>& counts() const { return counts_; }
    const std::vector<RorozErurEvo::ButtonEvent>& events() const { return events_; }
    const std::vector<RorozErurEvo::ScrollEvent>& scrolls() const { return scrolls_; }
    int smoothScrolls() const { return smoothScrolls_; }
    const std::optional<RorozErurEvo::TimedRate>& rate() const { return rate_; }
    const HoldState& hold() const { return hold_; }
    const std::vector<RorozErurEvo::ButtonEvent>& holdEvents() const { return holdEvents_; }
    const std::vector<double>& moves() const { return moves_; }

    void button(int number, bool down, double t);
    void scroll(double delta, bool precise, double t);
    // A wheel event as Qt reports it: angle delta in eighths of a degree. Notches are counted per
    // 120 units (high-resolution wheels send parts of a notch); an event with pixel movement only
    // (touchpads) counts as smooth scrolling.
    void wheel(int angleDeltaY, bool pixelOnly, double t);
    void move(double t);
    void tick(double now);
    void startHold();
    void reset();

    RorozErurEvo::TestResult results(double windowMs, RorozErurEvo::Date date = RorozErurEvo::Dates::now()) const;

    static std::string buttonName(int number);
    static std::string inputName(int number) { return "mouse-" + std::to_string(number); }

signals:
    void changed();

private:
    std::set<int> pressed_;
    std::map<int, int> counts_;
    std::vector<RorozErurEvo::ButtonEvent> events_;
    std::vector<RorozErurEvo::ScrollEvent> scrolls_;
    int smoothScrolls_ = 0;
    std::optional<RorozErurEvo::TimedRate> rate_;
    HoldState hold_ = Idle{};
    std::vector<RorozErurEvo::ButtonEvent> holdEvents_;
    std::vector<double> moves_;
    double lastRateUpdate_ = 0;
    int wheelRemainder_ = 0; // angle units not yet making a full notch
};

} // namespace Tessarine
