#pragma once
// Names listed in running text so that each stands apart: "A", "A and B", "A, B and C". Names
// that hold a comma themselves ("Left handle, gentle") are parted by semicolons instead, so
// the reader never has to guess where one ends.
#include <cstddef>
#include <string>
#include <vector>

namespace RorozErurEvo::NameList {

std::string joined(const std::vector<std::string>& names);
// The first `most` names joined so, then " and N more" for the rest: "A, B, C and 4 more".
std::string firstOf(const std::vector<std::string>& names, std::size_t most);
// Each name in quotation marks, parted by commas whatever it holds: "“A, 1”, “B” and “C”". For a
// list that stands inside a longer line whose parts are parted by semicolons.
std::string quoted(const std::vector<std::string>& names);

} // namespace RorozErurEvo::NameList
