// libFuzzer target for the thresholds read back from the settings file.
//
// Input: the stored text. Reading is forgiving key by key, so anything that parses as a JSON
// object gives thresholds, and those thresholds must be storable again and read back unchanged:
// a settings file that loads but can no longer be saved would lose the user's next edit.
#include <cstddef>
#include <cstdint>

#include "FuzzCheck.h"
#include "testkit/Thresholds.h"

using namespace RorozErurEvo;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::optional<json> document = fuzzDocument(data, size);
    if (!document) return 0;
    Thresholds thresholds;
    try {
        thresholds = Thresholds::fromJson(*document);
    } catch (const DecodeError&) {
        FUZZ_REQUIRE(!document->is_object());
        return 0;
    }
    FUZZ_REQUIRE(document->is_object());

    const std::string stored = Json::dump(thresholds.toJson());
    FUZZ_REQUIRE(Thresholds::fromJson(Json::parse(stored)) == thresholds);
    return 0;
}
