#include "app/model/MouseTester.h"

#include "testkit/AxisTracker.h"
#include "testkit/ChatterAnalysis.h"
#include "testkit/Fmt.h"
#include "testkit/HoldCheck.h"
#include "testkit/InputName.h"
#include "testkit/Measure.h"
#include "testkit/VerdictReasons.h"

#include <array>

namespace Tessarine {

using namespace RorozErurEvo;

MouseTester::MouseTester(QObject* parent) : QObject(parent) {}

std::string MouseTester::buttonName(int number) {
    static const std::array<const char*, 5> names{"Left", "Right", "Middle", "Back (4)", "Forward (5)"};
    if (number >= 0 && number < static_cast<int>(names.size())) return names[static_cast<std::size_t>(number)];
    return "Button " + std::to_string(number + 1);
}

void MouseTester::button(int number, bool down, double t) {
    if (down) {
        if (!pressed_.insert(number).second) return;
        counts_[number] += 1;
    } else {
        if (!pressed_.erase(number)) return;
    }
    ButtonEvent event{inputName(number), down, t};
    events_.push_back(event);
    if (number == 0) {
        if (std::holds_alternative<Holding>(hold_)) {
            holdEvents_.push_back(event);
        } else if (std::holds_alternative<Waiting>(hold_) && down) {
            hold_ = Holding{t};
            holdEvents_ = {event};
        }
    }
    emit changed();
}

void MouseTester::scroll(double delta, bool precise, double t) {
    if (delta == 0) return;
    if (precise) {
        smoothScrolls_ += 1;
    } else {
        scrolls_.push_back(ScrollEvent{t, delta});
    }
    emit changed();
}

void MouseTester::wheel(int angleDeltaY, bool pixelOnly, double t) {
    if (pixelOnly) {
        scroll(angleDeltaY != 0 ? angleDeltaY : 1, true, t);
        return;
    }
    if (angleDeltaY == 0) return;
    // A turn back before a notch is complete starts the count afresh in the new direction.
    if ((wheelRemainder_ > 0 && angleDeltaY < 0) || (wheelRemainder_ < 0 && angleDeltaY > 0)) wheelRemainder_ = 0;
    wheelRemainder_ += angleDeltaY;
    while (wheelRemainder_ >= angleUnitsPerStep) {
        wheelRemainder_ -= angleUnitsPerStep;
        scroll(1, false, t);
    }
    while (wheelRemainder_ <= -angleUnitsPerStep) {
        wheelRemainder_ += angleUnitsPerStep;
        scroll(-1, false, t);
    }
}

void MouseTester::move(double t) {
    if (moves_.size() >= moveLogLimit) moves_.erase(moves_.begin(), moves_.begin() + moveLogLimit / 2);
    moves_.push_back(t);
    if (t - lastRateUpdate_ > rateRefresh) {
        lastRateUpdate_ = t;
        std::vector<double> recent;
        for (double m : moves_)
            if (t - m < rateWindow) recent.push_back(m);
        auto rate = ReportRateAnalysis::timedEstimate(std::move(recent), stampResolution);
        if (rate != rate_) {
            rate_ = rate;
            emit changed();
        }
    }
}

void MouseTester::tick(double now) {
    auto* holding = std::get_if<Holding>(&hold_);
    if (!holding || now - holding->since < holdSeconds || pressed_.count(0)) return;
    auto report = HoldCheck::analyze(holdEvents_, inputName(0));
    hold_ = report ? Done{report->drops, report->heldSeconds} : Done{0, 0};
    emit changed();
}

void MouseTester::startHold() {
    hold_ = Waiting{};
    holdEvents_.clear();
    emit changed();
}

void MouseTester::reset() {
    pressed_.clear();
    counts_.clear();
    events_.clear();
    scrolls_.clear();
    smoothScrolls_ = 0;
    rate_.reset();
    hold_ = Idle{};
    holdEvents_.clear();
    moves_.clear();
    wheelRemainder_ = 0;
    emit changed();
}

TestResult MouseTester::results(double windowMs, Date date) const {
    std::set<int> testedNumbers{0, 1};
    for (const auto& [number, count] : counts_) testedNumbers.insert(number);
    std::vector<InputName> tested;
    for (int n : testedNumbers) tested.push_back(InputName{inputName(n), buttonName(n)});

    int chatter = ChatterAnalysis::total(ChatterAnalysis::analyze(events_, windowMs));

    auto countOf = [&](const InputName& input) {
        // The number is read back from the id; an id that is no number has no count.
        int number = -1;
        try {
            number = std::stoi(input.id.substr(std::string("mouse-").size()));
        } catch (...) {
            number = -1;
        }
        auto it = counts_.find(number);
        return it == counts_.end() ? 0 : it->second;
    };
    std::vector<InputName> missing;
    for (const auto& input : tested)
        if (countOf(input) == 0) missing.push_back(input);

    ScrollReport wheel = ScrollAnalysis::analyze(scrolls_, wheelRunGap);
    int steps = wheel.up + wheel.down;

    using Dir = Limit::Direction;
    std::vector<Measure> measures{
        Measure{"missing", "Buttons not registered", static_cast<double>(missing.size()), MeasureUnit::count,
                Limit{std::nullopt, 0, Dir::above}},
        Measure{"chatter", "Double-click chatter", static_cast<double>(chatter), MeasureUnit::count, Limit{0, 1, Dir::above}},
    };
    if (steps > 0)
        measures.push_back(Measure{"reversals", "Wheel reversals", static_cast<double>(wheel.reversals),
                                   MeasureUnit::count, Limit{0, 2, Dir::above}});
    if (auto* done = std::get_if<Done>(&hold_))
        measures.push_back(Measure{"drops", "Releases while held", static_cast<double>(done->drops), MeasureUnit::count,
                                   Limit{std::nullopt, 0, Dir::above}});
    // A rate past what the stamps resolve is kept as the floor it is, under an id of its own, so a
    // comparison never sets a floor beside a measured figure.
    if (rate_)
        measures.push_back(rate_->atLeast ? Measure{"rateFloor", "Report rate, at least", rate_->hz, MeasureUnit::hertz,
                                                    std::nullopt}
                                          : Measure{"rate", "Report rate", rate_->hz, MeasureUnit::hertz, std::nullopt});

    std::vector<std::string> details;
    std::string buttons = "Buttons: ";
    for (std::size_t i = 0; i < tested.size(); ++i) {
        if (i > 0) buttons += ", ";
        buttons += tested[i].name + " " + std::to_string(countOf(tested[i])) + "×";
    }
    details.push_back(buttons + ".");
    if (steps > 0)
        details.push_back("Wheel: " + std::to_string(wheel.up) + " steps up, " + std::to_string(wheel.down) + " down, " +
                          std::to_string(wheel.reversals) + " reversal" + (wheel.reversals == 1 ? "" : "s") + ".");
    if (rate_ && rate_->atLeast) details.push_back("Report rate: " + ReportRateAnalysis::floorText(*rate_) + ".");
    if (!missing.empty()) {
        std::string line = "Not registered: ";
        for (std::size_t i = 0; i < missing.size(); ++i) line += (i > 0 ? ", " : "") + missing[i].name;
        details.push_back(line + ".");
    }

    std::size_t n = tested.size();
    std::string headline = missing.empty()
                               ? "all " + std::to_string(n) + " buttons OK"
                               : std::to_string(n - missing.size()) + " of " + std::to_string(n) + " buttons";
    headline += chatter == 0 ? ", no double-click chatter" : ", double-click chatter " + std::to_string(chatter) + "×";
    // The wheel and the hold, which the headline does not count, are named when they decide the verdict.
    headline = VerdictReasons::headline(std::move(headline), TestKind::mouse, measures, {"missing", "chatter"});

    return TestResult(TestKind::mouse, "", ValueSource::processed, std::nullopt, headline, measures, details,
                      std::nullopt, std::nullopt, date);
}

} // namespace Tessarine
