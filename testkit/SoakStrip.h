#pragma once
// The compact picture of a wireless soak run kept with its result: equal time bins, oldest first,
// each saying whether input was arriving, paused, dropping out or disconnected.
#include <array>
#include <string>
#include <vector>

#include "testkit/Enum.h"
#include "testkit/Json.h"

namespace RorozErurEvo {

struct SoakStrip {
    // Declaration order is the legend's order.
    enum class State { ok, pause, gap, disconnected };

    double seconds = 0;             // length of the run the strip covers, seconds
    std::vector<State> bins;

    // One line for screen readers, e.g. "dropouts in 2 places, disconnected once".
    std::string spoken() const;

    // {"seconds": 600, "bins": ["ok", "gap", …]}; an unknown bin value fails the read.
    json toJson() const;
    static SoakStrip fromJson(const json& value);

    friend bool operator==(const SoakStrip&, const SoakStrip&) = default;
};

template <> struct EnumTable<SoakStrip::State> {
    static constexpr std::array entries{EnumEntry{SoakStrip::State::ok, "ok"},
                                        EnumEntry{SoakStrip::State::pause, "pause"},
                                        EnumEntry{SoakStrip::State::gap, "gap"},
                                        EnumEntry{SoakStrip::State::disconnected, "disconnected"}};
};

// The legend word: "input OK", "no input", "dropout", "disconnected".
std::string word(SoakStrip::State state);

} // namespace RorozErurEvo
