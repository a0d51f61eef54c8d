#pragma once
// Name ordering as people expect it in lists: letters compare without regard to case and runs
// of digits compare by their value, so "Trigger 2" comes before "Trigger 10".
#include <string_view>

namespace RorozErurEvo::NaturalOrder {

// Negative, zero or positive as a sorts before, equal to or after b. Names that differ only in
// case or leading zeros are told apart by their bytes, so the order is total.
int compare(std::string_view a, std::string_view b);
inline bool less(std::string_view a, std::string_view b) { return compare(a, b) < 0; }

} // namespace RorozErurEvo::NaturalOrder
