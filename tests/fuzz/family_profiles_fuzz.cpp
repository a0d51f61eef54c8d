// libFuzzer target for the shop's family profiles read back from the settings file.
//
// Input: the stored text. Profiles that were read must be storable again and read back
// unchanged, and every family must give thresholds, custom or typical.
#include <cstddef>
#include <cstdint>

#include "FuzzCheck.h"
#include "testkit/ControllerFamily.h"

using namespace RorozErurEvo;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::optional<json> document = fuzzDocument(data, size);
    if (!document) return 0;
    FamilyProfiles profiles;
    try {
        profiles = FamilyProfiles::fromJson(*document);
    } catch (const DecodeError&) {
        return 0;
    }

    const std::string stored = Json::dump(profiles.toJson());
    FUZZ_REQUIRE(FamilyProfiles::fromJson(Json::parse(stored)) == profiles);

    for (ControllerFamily family : allCases<ControllerFamily>()) {
        const Thresholds thresholds = profiles.thresholds(family);
        FUZZ_REQUIRE(profiles.isCustom(family) == (profiles.custom.count(rawValue(family)) == 1));
        // Storing a family's own thresholds back changes nothing that is read.
        FamilyProfiles copy = profiles;
        copy.set(thresholds, family);
        FUZZ_REQUIRE(copy.thresholds(family) == thresholds);
    }
    return 0;
}
