// The thresholds in effect for a device and the unit record a device starts with.
#include "app/model/AppModel.h"

namespace Tessarine {

using RorozErurEvo::ControllerFamily;

ControllerFamily AppModel::family(const InputDevice& device) const {
    if (auto it = familyChoice_.find(device.id()); it != familyChoice_.end()) return it->second;
    return RorozErurEvo::ControllerFamilies::detect(device.identity());
}

std::optional<ControllerFamily> AppModel::profileFamily(const InputDevice& device) const {
    if (!useFamilyProfiles_) return std::nullopt;
    ControllerFamily f = family(device);
    if (f == ControllerFamily::generic) return std::nullopt;
    return f;
}

RorozErurEvo::Thresholds AppModel::thresholds(const InputDevice& device) const {
    if (auto f = profileFamily(device)) return familyProfiles_.thresholds(*f);
    return thresholds_;
}

std::string AppModel::thresholdsLabel(const InputDevice& device) const {
    if (auto f = profileFamily(device)) return RorozErurEvo::ProfileLabel::text(f, familyProfiles_.isCustom(*f));
    return "Your thresholds";
}

UnitRecord AppModel::unit(const InputDevice& device) const {
    if (auto it = units_.find(device.id()); it != units_.end()) return it->second;
    return UnitRecord{.unit = device.identity().serial.value_or(std::string()),
                      .stage = stagePresets.front(),
                      .ticket = {},
                      .notes = {},
                      .technician = defaultTechnician_};
}

} // namespace Tessarine
