#include "testkit/ControllerFamily.h"

#include "testkit/Text.h"

namespace RorozErurEvo {

std::string title(ControllerFamily family) {
    switch (family) {
    case ControllerFamily::xbox: return "Xbox";
    case ControllerFamily::playStation: return "PlayStation";
    case ControllerFamily::nintendoSwitch: return "Switch (Pro Controller, Joy-Con)";
    case ControllerFamily::n64: return "N64-style";
    case ControllerFamily::gameCube: return "GameCube-style";
    case ControllerFamily::generic: return "Other controllers";
    }
    return {};
}

std::string shortTitle(ControllerFamily family) {
    if (family == ControllerFamily::nintendoSwitch) return "Switch";
    return title(family);
}

std::string note(ControllerFamily family) {
    switch (family) {
    case ControllerFamily::xbox:
        return "Xbox-style sticks read square-ish at the diagonals by design, so circularity limits are looser. "
               "Drift limits stay the same.";
    case ControllerFamily::playStation: return "Round gates that usually test well: the general limits fit.";
    case ControllerFamily::nintendoSwitch:
        return "Small sticks: circularity and inner deadzone limits are a little looser. Drift limits stay the "
               "same (drift is the common fault).";
    case ControllerFamily::n64:
        return "Octagon gate (diagonal notches farther out); worn or rebuilt sticks reach and return less evenly, "
               "so reach, circularity and return limits are looser.";
    case ControllerFamily::gameCube: return "Octagon gate with notches; circularity limits are a little looser.";
    case ControllerFamily::generic: return "Every other device uses your own thresholds.";
    }
    return {};
}

Thresholds typical(ControllerFamily family) {
    Thresholds t = Thresholds::standard();
    switch (family) {
    case ControllerFamily::xbox:
        t.circularityWarn = 0.12;
        t.circularityFail = 0.2;
        break;
    case ControllerFamily::nintendoSwitch:
        t.circularityWarn = 0.1;
        t.circularityFail = 0.18;
        t.deadzoneWarn = 0.15;
        t.deadzoneFail = 0.25;
        break;
    case ControllerFamily::n64:
        t.driftWarn = 0.05;
        t.driftFail = 0.1;
        t.circularityWarn = 0.1;
        t.circularityFail = 0.18;
        t.outerDeadzoneWarn = 0.15;
        t.outerDeadzoneFail = 0.35;
        t.snapbackWarn = 0.07;
        t.snapbackFail = 0.12;
        t.settleWarnMs = 350;
        t.gate = GateShape::octagonN64;
        break;
    case ControllerFamily::gameCube:
        t.circularityWarn = 0.1;
        t.circularityFail = 0.18;
        t.gate = GateShape::octagonGameCube;
        break;
    case ControllerFamily::playStation:
    case ControllerFamily::generic: break;
    }
    return t;
}

namespace {

// USB vendor and product ids (from the devices' descriptors).
constexpr int vendorMicrosoft = 0x045E;
constexpr int vendorNintendo = 0x057E;
constexpr int vendorSony = 0x054C;
constexpr int productN64Controller = 0x2019;
constexpr int productGameCubeAdapter = 0x0337;

bool isUsb(const DeviceInfo& device, int vendor, int product) {
    return device.vendorID == vendor && device.productID == product;
}

} // namespace

ControllerFamily ControllerFamilies::detect(const DeviceInfo& device) {
    std::string text =
        lowercased(device.name + " " + device.category.value_or("") + " " + device.vendor.value_or(""));
    // Names first, because adapters and clones often carry another maker's ids; the retro
    // families come before the others because their adapters share Nintendo's vendor id.
    if (containsAny(text, {"n64", "nintendo 64"})) return ControllerFamily::n64;
    if (isUsb(device, vendorNintendo, productN64Controller)) return ControllerFamily::n64;
    if (containsAny(text, {"gamecube", "game cube"})) return ControllerFamily::gameCube;
    if (isUsb(device, vendorNintendo, productGameCubeAdapter)) return ControllerFamily::gameCube;
    if (containsAny(text, {"xbox"})) return ControllerFamily::xbox;
    if (containsAny(text, {"dualsense", "dualshock", "playstation", "ps5", "ps4"})) return ControllerFamily::playStation;
    if (containsAny(text, {"joy-con", "joycon", "switch pro", "nintendo switch"})) return ControllerFamily::nintendoSwitch;
    if (!device.vendorID) return ControllerFamily::generic;
    switch (*device.vendorID) {
    case vendorMicrosoft: return ControllerFamily::xbox;
    case vendorNintendo: return ControllerFamily::nintendoSwitch;
    case vendorSony: return ControllerFamily::playStation;
    default: return ControllerFamily::generic;
    }
}

FamilyProfiles::FamilyProfiles(const std::map<ControllerFamily, Thresholds>& entries) {
    for (const auto& [family, thresholds] : entries) custom[rawValue(family)] = thresholds;
}

Thresholds FamilyProfiles::thresholds(ControllerFamily family) const {
    auto it = custom.find(rawValue(family));
    return it != custom.end() ? it->second : typical(family);
}

bool FamilyProfiles::isCustom(ControllerFamily family) const { return custom.contains(rawValue(family)); }

void FamilyProfiles::set(const Thresholds& thresholds, ControllerFamily family) {
    if (thresholds == typical(family))
        custom.erase(rawValue(family));
    else
        custom[rawValue(family)] = thresholds;
}

void FamilyProfiles::reset(ControllerFamily family) { custom.erase(rawValue(family)); }

json FamilyProfiles::toJson() const {
    json entries = json::object();
    for (const auto& [key, thresholds] : custom) entries[key] = thresholds.toJson();
    return json{{"custom", std::move(entries)}};
}

FamilyProfiles FamilyProfiles::fromJson(const json& value) {
    const json& entries = Json::member(value, "custom");
    Json::requireObject(entries, "\"custom\"");
    FamilyProfiles profiles;
    for (const auto& [key, thresholds] : entries.items()) profiles.custom[key] = Thresholds::fromJson(thresholds);
    return profiles;
}

std::string ProfileLabel::text(std::optional<ControllerFamily> family, bool custom) {
    if (!family || *family == ControllerFamily::generic) return "Your thresholds";
    return shortTitle(*family) + " family profile (" + (custom ? "your shop's" : "typical") + ")";
}

} // namespace RorozErurEvo
