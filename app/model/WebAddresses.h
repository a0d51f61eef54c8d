#pragma once
// The web addresses the application opens, in one place.
namespace Tessarine::WebAddresses {

// The product's help page, opened by Help ▸ Tessarine Help.
inline constexpr const char* helpPage = "https://quenlow.com/tessarine/help";

// The catalogue's pages: a store entry's numeric id, or a direct entry's page name, follows.
inline constexpr const char* storeAppPage = "https://apps.apple.com/app/id";
inline constexpr const char* makerAppPage = "https://quenlow.com/mac/";

} // namespace Tessarine::WebAddresses
