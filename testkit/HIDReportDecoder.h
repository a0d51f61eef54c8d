#pragma once
// Turns the input reports a device sends into values of its input elements, and tells which of
// them changed since the device's previous report. Reports are untrusted: a report with an unknown
// id is ignored, and a field that ends past a short report is not read.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "testkit/HIDDescriptor.h"

namespace RorozErurEvo {

class HIDReportDecoder {
public:
    struct Value {
        std::size_t element = 0; // index into the descriptor's elements
        std::int64_t value = 0;
        friend bool operator==(const Value&, const Value&) = default;
    };

    explicit HIDReportDecoder(const HIDDescriptor& descriptor);

    // Decodes one report as read from the device: its first byte is the report id when the
    // descriptor numbers its reports. `changed` is cleared, then receives the elements of this
    // report whose value differs from the last one decoded (every element the first time):
    // variable fields in report order, then the usages of array fields.
    void decode(std::span<const std::uint8_t> report, std::vector<Value>& changed);

    // The latest decoded value of an element; absent before its first report.
    std::optional<std::int64_t> value(std::size_t element) const;

private:
    struct Field {
        std::uint32_t element;
        std::uint32_t bitOffset;
        std::uint8_t bits;
        bool isSigned;
    };
    struct ArrayUsage {
        std::int64_t index;
        std::uint32_t element;
    };
    struct ArrayField {
        std::uint32_t bitOffset;
        std::uint8_t bits;
        bool isSigned;
        std::uint32_t slotCount;
        std::vector<ArrayUsage> usages; // sorted by index
    };
    struct Layout {
        std::vector<Field> fields;
        std::vector<ArrayField> arrays;
    };

    void noteValue(std::uint32_t element, std::int64_t value, std::vector<Value>& changed);

    bool numbered_ = false;
    std::vector<Layout> layouts_;         // one per report id that has input fields
    std::array<std::int16_t, 256> byID_{}; // report id → index into layouts_, −1 when none
    std::vector<std::int64_t> last_;
    std::vector<std::uint8_t> seen_;
    std::vector<std::uint8_t> active_;    // scratch for array fields
};

} // namespace RorozErurEvo
