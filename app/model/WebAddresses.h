#pragma once
// The web addresses the application opens, in one place.
namespace Tessarine::WebAddresses {

// The product's help page, opened by Help ▸ Tessarine Help.
inline constexpr const char* helpPage = "https://quenlow.com/tessarine/help";

} // namespace Tessarine::WebAddresses
