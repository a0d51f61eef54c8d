#pragma once
// The unit on the bench: what a saved session records about the physical unit being worked on.
// The model keeps one per device while the application runs.
#include <array>
#include <string>

namespace Tessarine {

struct UnitRecord {
    std::string unit{};       // the unit's serial or tag
    std::string stage{};      // where in the repair the unit is, such as "Before repair"
    std::string ticket{};
    std::string notes{};
    std::string technician{};

    friend bool operator==(const UnitRecord&, const UnitRecord&) = default;
};

// The stages a technician picks from (any other text is accepted too); a new unit record starts
// at the first.
inline constexpr std::array<const char*, 6> stagePresets{"Before repair",    "After repair", "Before stick swap",
                                                         "After stick swap", "Intake",       "Final check"};

} // namespace Tessarine
