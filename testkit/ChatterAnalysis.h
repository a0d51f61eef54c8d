#pragma once
// Chatter of digital inputs: a press that follows the same input's release sooner than a
// window is the mark of a bouncing switch.
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "testkit/Json.h"
#include "testkit/Samples.h"

namespace RorozErurEvo {

// Chatter statistics of one input.
struct InputChatter {
    std::string input;          // the input's id
    int presses = 0;            // counted presses
    int chatters = 0;           // presses sooner than the window after the previous release
    std::vector<double> gapsMs; // release-to-press gaps of those presses, milliseconds, in time order
    std::optional<double> shortestGapMs; // shortest release-to-press gap of any counted press, milliseconds

    json toJson() const;
    static InputChatter fromJson(const json& value);
    friend bool operator==(const InputChatter&, const InputChatter&) = default;
};

namespace ChatterAnalysis {

// One entry per input that has at least one counted press, keyed by input id. A press of an
// input that is already down and a release of one that is up are ignored; a press counts as
// chatter when its gap to the previous release is below windowMs (isChatter).
std::map<std::string, InputChatter> analyze(const std::vector<ButtonEvent>& events, double windowMs);

// Whether a press `gapMs` after the release is chatter: the gap as gapsText() and the click
// rows write it (whole milliseconds from 10 ms, tenths below) is below the window. Judging the
// written gap keeps "80 ms" from counting as less than 80 ms, which a gap of 79.6 ms, or one of
// 80 ms between millisecond stamps taken to the uptime clock, would otherwise do.
bool isChatter(double gapMs, double windowMs);

// Sum of chatters over all entries.
int total(const std::map<std::string, InputChatter>& chatter);

// Gaps as the result texts show them: "30 ms, 4.5 ms" (one decimal below 10 ms).
std::string gapsText(const std::vector<double>& gapsMs);

// The detail line of a chattering input: "Chatter on A: 2× (20 ms, 4.5 ms)".
std::string detailLine(const std::string& name, const InputChatter& entry);

} // namespace ChatterAnalysis
} // namespace RorozErurEvo
