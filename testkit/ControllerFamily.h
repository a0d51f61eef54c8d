#pragma once
// Controller families, each with typical thresholds, and the shop's own per-family overrides.
#include <array>
#include <map>
#include <optional>
#include <string>

#include "testkit/DeviceInfo.h"
#include "testkit/Enum.h"
#include "testkit/Json.h"
#include "testkit/Thresholds.h"

namespace RorozErurEvo {

enum class ControllerFamily { xbox, playStation, nintendoSwitch, n64, gameCube, generic };

template <> struct EnumTable<ControllerFamily> {
    static constexpr std::array entries{
        EnumEntry{ControllerFamily::xbox, "xbox"},           EnumEntry{ControllerFamily::playStation, "playStation"},
        EnumEntry{ControllerFamily::nintendoSwitch, "nintendoSwitch"}, EnumEntry{ControllerFamily::n64, "n64"},
        EnumEntry{ControllerFamily::gameCube, "gameCube"},   EnumEntry{ControllerFamily::generic, "generic"}};
};

std::string title(ControllerFamily family);
std::string shortTitle(ControllerFamily family);
// One sentence shown under the family in the settings window.
std::string note(ControllerFamily family);
// The standard thresholds with the family's usual departures.
Thresholds typical(ControllerFamily family);

namespace ControllerFamilies {
// The family from the device's name, category and vendor texts, then its USB ids.
ControllerFamily detect(const DeviceInfo& device);
} // namespace ControllerFamilies

struct FamilyProfiles {
    // The shop's own thresholds, keyed by the family's raw value. Keys that name no family are
    // kept and written back, never consulted.
    std::map<std::string, Thresholds> custom;

    FamilyProfiles() = default;
    explicit FamilyProfiles(const std::map<ControllerFamily, Thresholds>& entries);

    // The shop's entry for the family, else the family's typical thresholds.
    Thresholds thresholds(ControllerFamily family) const;
    bool isCustom(ControllerFamily family) const;
    // Thresholds equal to the typical ones remove the entry rather than storing a copy.
    void set(const Thresholds& thresholds, ControllerFamily family);
    void reset(ControllerFamily family);

    // {"custom": {"n64": {…}}}. "custom" is required; each entry is read key by key with
    // defaults for what is missing or unreadable.
    json toJson() const;
    static FamilyProfiles fromJson(const json& value);

    friend bool operator==(const FamilyProfiles&, const FamilyProfiles&) = default;
};

namespace ProfileLabel {
// "Your thresholds", or e.g. "Switch family profile (typical)" / "… (your shop's)".
std::string text(std::optional<ControllerFamily> family, bool custom);
} // namespace ProfileLabel

} // namespace RorozErurEvo
