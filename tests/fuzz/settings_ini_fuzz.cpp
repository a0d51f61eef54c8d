// libFuzzer target for the settings file's saves.
//
// Input: the file's text. Read, saved a few times with one setting set or removed each time
// (which, chosen from the input), and read again after each save: every setting reads back as
// set, the refused lines stay as they stood, and a second write changes nothing.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "FuzzCheck.h"
#include "tests/testkit/SettingsIniRoundTrip.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = fuzzText(data, size);
    std::uint32_t seed = 2166136261u; // FNV-1a of the input: the same input, the same saves
    for (const char c : text) seed = (seed ^ static_cast<unsigned char>(c)) * 16777619u;
    const std::string fault = SettingsIniRoundTrip::fault(text, seed, 3);
    if (!fault.empty()) std::fprintf(stderr, "%s\n", fault.c_str());
    FUZZ_REQUIRE(fault.empty());
    return 0;
}
