#pragma once
// Turns the input reports a device sends into values of its input elements, and tells which of
// them changed since the device's previous report. Reports are untrusted: a report with an unknown
// id is ignored, and a field that ends past a short report is not read.
//
// A pad sends up to 8,000 reports a second and most of each report repeats the one before, so
// each report is compared with the previous one of its id byte by byte and only the fields
// that touch a changed byte are read again; a field whose bytes did not change has not changed.
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

    // `wanted`, when not empty, holds a flag per descriptor element: the elements without it are
    // never read nor reported (a tap has no use for vendor data it does not show).
    explicit HIDReportDecoder(const HIDDescriptor& descriptor, const std::vector<bool>& wanted = {});

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
        std::uint64_t bitsRead() const { return bits; }
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
        std::uint64_t bitsRead() const { return std::uint64_t{bits} * slotCount; }
    };
    struct Layout {
        std::vector<Field> fields;
        std::vector<ArrayField> arrays;
        // Per report byte, the fields (indices into `fields`, ascending) and array fields that
        // read from it: those of byte b are fieldList[fieldsFrom[b] … fieldsFrom[b + 1]), and
        // the same for arrays. One block each, so a changed byte costs two loads to look up.
        std::size_t mappedBytes = 0;
        std::vector<std::uint32_t> fieldsFrom, fieldList;
        std::vector<std::uint32_t> arraysFrom, arrayList;
        // The same as bit sets, when the report has at most 64 fields and 64 array fields (every
        // game pad): the fields of the changed bytes are then one OR per byte, in field order.
        std::vector<std::uint64_t> fieldMask, arrayMask;
        // Per report byte, the bits that fields read: a change in the others (a counter, vendor
        // bits beside the buttons) reads no field again.
        std::vector<std::uint8_t> usedBits;
        // The bytes of the previous report of this id that fields read (its first mappedBytes),
        // without the id byte; the rest of a report is never compared.
        std::vector<std::uint8_t> previous;
        bool hasPrevious = false;
    };

    // The layout of a descriptor element's report, made when the report's first field is added.
    Layout& layoutFor(int reportID);
    // Adds the input fields of the descriptor (those wanted) to the layouts of their reports.
    void addFields(const HIDDescriptor& descriptor, const std::vector<bool>& wanted);
    // Indexes which fields read each byte of a layout's report, for finding the changed fields.
    static void mapBytes(Layout& layout);

    // The layout of a report's id, with the id byte taken off `report`; null for none.
    Layout* layoutOf(std::span<const std::uint8_t>& report);
    // Every field and array field of the layout, in order.
    void readAll(const Layout& layout, const std::uint8_t* data, std::size_t availableBits, std::vector<Value>& changed);
    // The fields and array fields that read one of the changed bytes among the first `mapped`,
    // through the per-byte lists (a report of more than 64 fields); `previous` becomes this report.
    void readTouched(Layout& layout, const std::uint8_t* data, std::size_t availableBits, std::size_t mapped,
                     std::vector<Value>& changed);
    // Queues the fields and array fields that read one byte, each once a report.
    void touch(const Layout& layout, std::size_t byte);

    // Inline, as the decoding of one report reads a handful of fields and both are a few
    // instructions long.
    void noteValue(std::uint32_t element, std::int64_t value, std::vector<Value>& changed) {
        if (seen_[element] && last_[element] == value) return;
        seen_[element] = 1;
        last_[element] = value;
        changed.push_back(Value{element, value});
    }
    void readField(const Field& field, const std::uint8_t* data, std::size_t availableBits, std::vector<Value>& changed);
    // The fields and array fields that read one of the changed bytes among the first `mapped`,
    // through the bit sets; `previous` becomes this report.
    void readChanged(Layout& layout, const std::uint8_t* data, std::size_t availableBits, std::size_t mapped,
                     std::vector<Value>& changed);
    void readArray(const ArrayField& field, const std::uint8_t* data, std::size_t availableBits,
                   std::vector<Value>& changed);

    bool numbered_ = false;
    std::vector<Layout> layouts_;         // one per report id that has input fields
    std::array<std::int16_t, 256> byID_{}; // report id → index into layouts_, −1 when none
    std::vector<std::int64_t> last_;
    std::vector<std::uint8_t> seen_;
    std::vector<std::uint8_t> active_;    // scratch for array fields
    std::vector<std::uint32_t> touched_;  // scratch: fields to read again
    std::vector<std::uint32_t> touchedArrays_;
    std::vector<std::uint32_t> mark_;     // per field: the report count when last queued
    std::vector<std::uint32_t> arrayMark_;
    std::uint32_t reportCount_ = 0;
};

} // namespace RorozErurEvo
