#pragma once
// The web addresses the application opens, in one place.
namespace Tessarine::WebAddresses {

// The product's help page, opened by Help ▸ Tessarine Help.
inline constexpr const char* helpPage = "https://quenlow.com/tessarine/help";

// The maker's page of a catalogue entry for Linux: the entry's page name follows.
inline constexpr const char* makerAppPage = "https://quenlow.com/linux/";

} // namespace Tessarine::WebAddresses
