#pragma once
// The unit on the bench: what a saved session records about the physical unit being worked on.
// The model keeps one per device while the application runs.
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

} // namespace Tessarine
