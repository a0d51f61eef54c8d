#pragma once
// What only the keyboard and mouse tester screens share.

namespace Tessarine::TesterParts {

// Pixels around each screen's content.
constexpr int contentMargin = 18;

} // namespace Tessarine::TesterParts
