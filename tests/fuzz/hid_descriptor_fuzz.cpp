// libFuzzer target for the HID report-descriptor parser and the report decoder, the two places
// where bytes from a device enter the program unchecked.
//
// Input: two bytes giving the descriptor's length (little-endian, cut to what is there), the
// descriptor, then reports, each a length byte followed by that many bytes (cut at the end).
// Besides crashes and sanitizer reports, the target aborts when a parsed element or a decoded
// value breaks what the rest of the program relies on.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "FuzzCheck.h"
#include "testkit/HIDDescriptor.h"
#include "testkit/HIDReportDecoder.h"

using namespace RorozErurEvo;

namespace {

void checkElements(const HIDDescriptor& descriptor) {
    FUZZ_REQUIRE(descriptor.elements.size() <= HIDLimits::maxElements);
    for (std::size_t i = 0; i < descriptor.elements.size(); ++i) {
        const HIDElement& e = descriptor.elements[i];
        FUZZ_REQUIRE(e.cookie == i + 1);
        FUZZ_REQUIRE(e.reportSize >= 1 && e.reportSize <= HIDLimits::maxFieldBits);
        FUZZ_REQUIRE(e.reportID >= 0 && e.reportID <= 255);
        FUZZ_REQUIRE(e.page >= 0 && e.page <= 0xFFFF && e.usage >= 0 && e.usage <= 0xFFFF);
        const std::size_t slots = e.arraySlots > 0 ? static_cast<std::size_t>(e.arraySlots) : 1;
        FUZZ_REQUIRE(e.bitOffset >= 0 && static_cast<std::size_t>(e.bitOffset) + slots * static_cast<std::size_t>(e.reportSize) <=
                                        HIDLimits::maxReportBytes * 8);
    }
}

void checkValue(const HIDElement& e, std::int64_t value) {
    FUZZ_REQUIRE(e.type == HIDElementType::input);
    if (e.arraySlots > 0) {
        FUZZ_REQUIRE(value == 0 || value == 1);
    } else if (e.reportSize < 64) {
        // The field's bits hold the value: a signed field in −2^(n−1)…2^(n−1)−1, another in 0…2^n−1.
        const std::uint64_t half = std::uint64_t{1} << (e.reportSize - 1);
        if (e.isSigned) FUZZ_REQUIRE(static_cast<std::uint64_t>(value) + half < 2 * half);
        else FUZZ_REQUIRE(static_cast<std::uint64_t>(value) < 2 * half);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::span<const std::uint8_t> input(data, size);
    if (input.size() < 2) return 0;
    std::size_t length = input[0] | (std::size_t{input[1]} << 8);
    input = input.subspan(2);
    length = std::min(length, input.size());

    HIDDescriptor descriptor;
    try {
        descriptor = HIDDescriptor::parse(input.first(length));
    } catch (const HIDDescriptorError&) {
        return 0;
    }
    checkElements(descriptor);
    (void)descriptor.isGameDevice();
    (void)descriptor.isKeyboardOrMouse();

    HIDReportDecoder decoder(descriptor);
    std::vector<HIDReportDecoder::Value> changed;
    input = input.subspan(length);
    while (!input.empty()) {
        const std::size_t reportLength = std::min<std::size_t>(input[0], input.size() - 1);
        // Copied so that the sanitizer sees any read past the report's end.
        std::vector<std::uint8_t> report(input.begin() + 1, input.begin() + 1 + static_cast<std::ptrdiff_t>(reportLength));
        decoder.decode(report, changed);
        for (const auto& v : changed) {
            FUZZ_REQUIRE(v.element < descriptor.elements.size());
            checkValue(descriptor.elements[v.element], v.value);
            FUZZ_REQUIRE(decoder.value(v.element) == v.value);
        }
        input = input.subspan(1 + reportLength);
    }
    return 0;
}
