#include "app/devices/ElementInfo.h"

#include <string_view>

namespace Tessarine {

std::optional<std::string> ElementInfo::rangeText() const {
    if (!logicalMin || !logicalMax) return std::nullopt;
    return std::to_string(*logicalMin) + "\u2026" + std::to_string(*logicalMax);
}

namespace {

// Face-button and maker symbols that would tie the drawing to one brand of controller.
constexpr std::string_view brandedPrefixes[] = {"xmark.circle",    "circle.circle", "square.circle",
                                                "triangle.circle", "playstation",   "xbox"};

bool isBranded(std::string_view symbol) {
    if (symbol.find("logo") != std::string_view::npos) return true;
    for (auto prefix : brandedPrefixes)
        if (symbol.starts_with(prefix)) return true;
    return false;
}

} // namespace

std::optional<std::string> ElementInfo::neutralSymbol(const std::optional<std::string>& symbol, Role role) {
    if (symbol && !isBranded(*symbol)) return symbol;
    switch (role) {
    case Role::south:
    case Role::east:
    case Role::west:
    case Role::north: return "circle";
    case Role::dpad: return "dpad";
    case Role::menu: return "line.3.horizontal.circle";
    case Role::options: return "ellipsis.circle";
    case Role::home: return "house.circle";
    case Role::share: return "square.and.arrow.up.circle";
    case Role::touchpadButton:
    case Role::touchpad: return "hand.point.up.left";
    default: return std::nullopt;
    }
}

} // namespace Tessarine
