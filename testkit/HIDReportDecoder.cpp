#include "testkit/HIDReportDecoder.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <map>

namespace RorozErurEvo {

// Changed bytes are found by comparing eight at a time and reading the lowest byte of the loaded
// word as the first of the eight, which holds on a little-endian machine only.
static_assert(std::endian::native == std::endian::little, "the report comparison assumes little-endian loads");

namespace {

// Bits [offset, offset + bits) of a little-endian report of `size` bytes, least significant bit
// first. The caller has checked that they lie inside `data`; `bits` is 1…64.
inline std::uint64_t extract(const std::uint8_t* data, std::size_t size, std::size_t offset, unsigned bits) {
    const std::size_t first = offset >> 3;
    const unsigned shift = offset & 7;
    std::uint64_t value = 0;
    if (shift + bits <= 64 && first + 8 <= size) { // one load: every field of 1 to 57 bits away from the end
        std::memcpy(&value, data + first, 8);
        if constexpr (std::endian::native == std::endian::big) value = __builtin_bswap64(value);
        value >>= shift;
    } else {
        const unsigned bytes = (shift + bits + 7) / 8; // 1…9
        for (unsigned i = 0; i < std::min(bytes, 8u); ++i) value |= std::uint64_t{data[first + i]} << (8 * i);
        value >>= shift;
        if (bytes == 9) value |= std::uint64_t{data[first + 8]} << (64 - shift); // only when shift > 0
    }
    if (bits < 64) value &= (std::uint64_t{1} << bits) - 1;
    return value;
}

// Set bits of a word, without the library call std::popcount makes for a plain x86-64 target.
inline std::size_t bitCount(std::uint64_t x) {
    x = x - ((x >> 1) & 0x5555555555555555);
    x = (x & 0x3333333333333333) + ((x >> 2) & 0x3333333333333333);
    x = (x + (x >> 4)) & 0x0F0F0F0F0F0F0F0F;
    return static_cast<std::size_t>((x * 0x0101010101010101) >> 56);
}

inline std::int64_t read(const std::uint8_t* data, std::size_t size, std::size_t offset, unsigned bits, bool isSigned) {
    std::uint64_t value = extract(data, size, offset, bits);
    if (isSigned && bits < 64 && (value >> (bits - 1)) & 1) value |= ~std::uint64_t{0} << bits;
    return static_cast<std::int64_t>(value);
}

// Whether the first `mapped` bytes hold more than one whole word of eight and every word differs
// from the previous report's.
inline bool everyWordDiffers(const std::uint8_t* data, const std::uint8_t* previous, std::size_t mapped) {
    std::size_t words = 0, changedWords = 0;
    for (std::size_t byte = 0; byte + 8 <= mapped; byte += 8, ++words)
        changedWords += std::memcmp(data + byte, previous + byte, 8) != 0;
    return words > 1 && changedWords == words;
}

// A run of report bits a field reads (a Field, or an ArrayField's slots together): its last byte,
// and the bytes a list of them reaches into.
template <class Run> std::size_t lastByte(const Run& run) {
    return static_cast<std::size_t>((std::uint64_t{run.bitOffset} + run.bitsRead() - 1) / 8);
}
template <class Run> std::size_t bytesRead(const std::vector<Run>& runs) {
    std::size_t bytes = 0;
    for (const Run& run : runs) bytes = std::max(bytes, lastByte(run) + 1);
    return bytes;
}

// Per report byte, the indices of the runs that read from it.
using ByteReaders = std::vector<std::vector<std::uint32_t>>;
template <class Run> ByteReaders readersByByte(const std::vector<Run>& runs, std::size_t bytes) {
    ByteReaders at(bytes);
    for (std::uint32_t n = 0; n < runs.size(); ++n)
        for (std::size_t b = runs[n].bitOffset / 8; b <= lastByte(runs[n]); ++b) at[b].push_back(n);
    return at;
}

// The readers of every byte in one block: those of byte b are list[from[b] … from[b + 1]).
void flatten(const ByteReaders& at, std::vector<std::uint32_t>& from, std::vector<std::uint32_t>& list) {
    from.assign(1, 0);
    for (const auto& indices : at) {
        list.insert(list.end(), indices.begin(), indices.end());
        from.push_back(static_cast<std::uint32_t>(list.size()));
    }
}

// The readers of every byte as a bit set; at most 64 of them.
std::vector<std::uint64_t> masks(const ByteReaders& at) {
    std::vector<std::uint64_t> mask(at.size(), 0);
    for (std::size_t b = 0; b < at.size(); ++b)
        for (std::uint32_t n : at[b]) mask[b] |= std::uint64_t{1} << n;
    return mask;
}

// Sets the bits that the runs read in `used`, a byte of bits per report byte.
template <class Run> void markUsed(const std::vector<Run>& runs, std::vector<std::uint8_t>& used) {
    for (const Run& run : runs)
        for (std::uint64_t bit = run.bitOffset; bit < run.bitOffset + run.bitsRead(); ++bit)
            used[bit / 8] = static_cast<std::uint8_t>(used[bit / 8] | (1u << (bit % 8)));
}

} // namespace

HIDReportDecoder::HIDReportDecoder(const HIDDescriptor& descriptor, const std::vector<bool>& wanted)
    : numbered_(descriptor.numberedReports), last_(descriptor.elements.size(), 0),
      seen_(descriptor.elements.size(), 0) {
    byID_.fill(-1);
    addFields(descriptor, wanted);
    std::size_t widest = 0, mostFields = 0, mostArrays = 0;
    for (Layout& layout : layouts_) {
        mapBytes(layout);
        for (const ArrayField& field : layout.arrays) widest = std::max(widest, field.usages.size());
        mostFields = std::max(mostFields, layout.fields.size());
        mostArrays = std::max(mostArrays, layout.arrays.size());
    }
    active_.assign(widest, 0);
    mark_.assign(mostFields, 0);
    arrayMark_.assign(mostArrays, 0);
}

HIDReportDecoder::Layout& HIDReportDecoder::layoutFor(int reportID) {
    auto& slot = byID_[static_cast<std::size_t>(reportID & 0xFF)];
    if (slot < 0) {
        slot = static_cast<std::int16_t>(layouts_.size());
        layouts_.emplace_back();
    }
    return layouts_[static_cast<std::size_t>(slot)];
}

void HIDReportDecoder::addFields(const HIDDescriptor& descriptor, const std::vector<bool>& wanted) {
    // Array elements of one field share its offset within their report.
    std::map<std::pair<int, int>, std::size_t> arrayFieldAt;
    for (std::size_t i = 0; i < descriptor.elements.size(); ++i) {
        const HIDElement& e = descriptor.elements[i];
        // Only input fields are read; a field no parser would give (hand-built descriptors) is left out.
        if (e.type != HIDElementType::input || e.reportSize < 1 || e.reportSize > HIDLimits::maxFieldBits ||
            e.bitOffset < 0 || e.arraySlots < 0 || (!wanted.empty() && (i >= wanted.size() || !wanted[i])))
            continue;
        Layout& layout = layoutFor(e.reportID);
        const auto index = static_cast<std::uint32_t>(i);
        const auto offset = static_cast<std::uint32_t>(e.bitOffset);
        const auto bits = static_cast<std::uint8_t>(e.reportSize);
        if (e.arraySlots == 0) {
            layout.fields.push_back(Field{index, offset, bits, e.isSigned});
            continue;
        }
        auto [at, added] = arrayFieldAt.try_emplace({e.reportID, e.bitOffset}, layout.arrays.size());
        if (added)
            layout.arrays.push_back(
                ArrayField{offset, bits, e.isSigned, static_cast<std::uint32_t>(e.arraySlots), {}});
        layout.arrays[at->second].usages.push_back(ArrayUsage{e.arrayIndex, index});
    }
    for (Layout& layout : layouts_)
        for (ArrayField& field : layout.arrays)
            std::stable_sort(field.usages.begin(), field.usages.end(),
                             [](const ArrayUsage& a, const ArrayUsage& b) { return a.index < b.index; });
}

void HIDReportDecoder::mapBytes(Layout& layout) {
    const std::size_t bytes = std::max(bytesRead(layout.fields), bytesRead(layout.arrays));
    const ByteReaders fieldsAt = readersByByte(layout.fields, bytes);
    const ByteReaders arraysAt = readersByByte(layout.arrays, bytes);
    flatten(fieldsAt, layout.fieldsFrom, layout.fieldList);
    flatten(arraysAt, layout.arraysFrom, layout.arrayList);
    layout.mappedBytes = bytes;
    if (layout.fields.size() > 64 || layout.arrays.size() > 64) return;
    layout.fieldMask = masks(fieldsAt);
    layout.arrayMask = masks(arraysAt);
    layout.usedBits.assign(bytes, 0);
    markUsed(layout.fields, layout.usedBits);
    markUsed(layout.arrays, layout.usedBits);
}

// Always inlined: a report reads a handful of fields, each a few instructions long.
[[gnu::always_inline]] inline void HIDReportDecoder::readField(const Field& field, const std::uint8_t* data,
                                                               std::size_t availableBits, std::vector<Value>& changed) {
    if (std::size_t{field.bitOffset} + field.bits > availableBits) return; // past a short report
    noteValue(field.element, read(data, availableBits / 8, field.bitOffset, field.bits, field.isSigned), changed);
}

void HIDReportDecoder::readArray(const ArrayField& field, const std::uint8_t* data, std::size_t availableBits,
                                 std::vector<Value>& changed) {
    // Only whole slots inside the report are read; a cut report reads as fewer slots.
    std::size_t slots = field.slotCount;
    if (std::size_t{field.bitOffset} + std::size_t{field.bits} * slots > availableBits) {
        slots = availableBits > field.bitOffset ? (availableBits - field.bitOffset) / field.bits : 0;
        if (slots == 0) return;
    }
    std::fill_n(active_.begin(), field.usages.size(), std::uint8_t{0});
    for (std::size_t s = 0; s < slots; ++s) {
        const std::int64_t held = read(data, availableBits / 8, field.bitOffset + s * field.bits, field.bits, field.isSigned);
        auto it = std::lower_bound(field.usages.begin(), field.usages.end(), held,
                                   [](const ArrayUsage& u, std::int64_t v) { return u.index < v; });
        if (it != field.usages.end() && it->index == held) active_[static_cast<std::size_t>(it - field.usages.begin())] = 1;
    }
    for (std::size_t u = 0; u < field.usages.size(); ++u) noteValue(field.usages[u].element, active_[u], changed);
}

[[gnu::always_inline]] inline void HIDReportDecoder::readAll(const Layout& layout, const std::uint8_t* data,
                                                             std::size_t availableBits, std::vector<Value>& changed) {
    for (const Field& field : layout.fields) readField(field, data, availableBits, changed);
    for (const ArrayField& field : layout.arrays) readArray(field, data, availableBits, changed);
}

[[gnu::always_inline]] inline HIDReportDecoder::Layout* HIDReportDecoder::layoutOf(std::span<const std::uint8_t>& report) {
    int id = 0;
    if (numbered_) {
        if (report.empty()) return nullptr;
        id = report[0];
        report = report.subspan(1);
    }
    const auto slot = byID_[static_cast<std::size_t>(id)];
    return slot < 0 ? nullptr : &layouts_[static_cast<std::size_t>(slot)];
}

void HIDReportDecoder::decode(std::span<const std::uint8_t> report, std::vector<Value>& changed) {
    changed.clear();
    Layout* layout = layoutOf(report);
    if (!layout) return;
    const std::uint8_t* data = report.data();
    const std::size_t availableBits = report.size() * 8;

    // A report of another length than the previous one is read whole.
    if (!layout->hasPrevious || layout->previous.size() != report.size()) {
        readAll(*layout, data, availableBits, changed);
        layout->previous.assign(report.begin(), report.end());
        layout->hasPrevious = true;
        return;
    }

    // An empty report repeated changes nothing (and its bytes are no pointer to copy from).
    if (report.empty()) return;

    // Every part of the report changed: read it in order rather than sort out which fields did.
    const std::size_t mapped = std::min(report.size(), layout->mappedBytes);
    if (everyWordDiffers(data, layout->previous.data(), mapped)) {
        std::memcpy(layout->previous.data(), data, mapped); // bytes past the last field are never compared
        readAll(*layout, data, availableBits, changed);
        return;
    }

    if (!layout->fieldMask.empty()) readChanged(*layout, data, availableBits, mapped, changed);
    else readTouched(*layout, data, availableBits, mapped, changed);
}

[[gnu::always_inline]] inline void HIDReportDecoder::touch(const Layout& layout, std::size_t byte) {
    for (std::uint32_t i = layout.fieldsFrom[byte], end = layout.fieldsFrom[byte + 1]; i < end; ++i)
        if (const std::uint32_t n = layout.fieldList[i]; mark_[n] != reportCount_) {
            mark_[n] = reportCount_;
            touched_.push_back(n);
        }
    for (std::uint32_t i = layout.arraysFrom[byte], end = layout.arraysFrom[byte + 1]; i < end; ++i)
        if (const std::uint32_t n = layout.arrayList[i]; arrayMark_[n] != reportCount_) {
            arrayMark_[n] = reportCount_;
            touchedArrays_.push_back(n);
        }
}

void HIDReportDecoder::readTouched(Layout& layout, const std::uint8_t* data, std::size_t availableBits,
                                   std::size_t mapped, std::vector<Value>& changed) {
    if (++reportCount_ == 0) { // wrapped: no mark may look current
        std::fill(mark_.begin(), mark_.end(), 0);
        std::fill(arrayMark_.begin(), arrayMark_.end(), 0);
        reportCount_ = 1;
    }
    touched_.clear();
    touchedArrays_.clear();
    std::uint8_t* previous = layout.previous.data();
    std::size_t byte = 0;
    for (; byte + 8 <= mapped; byte += 8) {
        std::uint64_t now = 0, before = 0;
        std::memcpy(&now, data + byte, 8);
        std::memcpy(&before, previous + byte, 8);
        for (std::uint64_t diff = now ^ before; diff != 0;) {
            const auto within = static_cast<unsigned>(std::countr_zero(diff)) / 8; // little-endian load
            touch(layout, byte + within);
            diff &= ~(std::uint64_t{0xFF} << (within * 8));
        }
    }
    for (; byte < mapped; ++byte)
        if (data[byte] != previous[byte]) touch(layout, byte);
    std::memcpy(previous, data, mapped);

    if (touched_.empty() && touchedArrays_.empty()) return;
    if (touched_.size() > layout.fields.size() / 2) { // most of the report changed: read it in order
        readAll(layout, data, availableBits, changed);
        return;
    }
    // Fields follow each other through the report, so the list is usually in order already.
    if (!std::is_sorted(touched_.begin(), touched_.end())) std::sort(touched_.begin(), touched_.end());
    for (std::uint32_t n : touched_) readField(layout.fields[n], data, availableBits, changed);
    if (touchedArrays_.empty()) return;
    std::sort(touchedArrays_.begin(), touchedArrays_.end());
    for (std::uint32_t n : touchedArrays_) readArray(layout.arrays[n], data, availableBits, changed);
}

void HIDReportDecoder::readChanged(Layout& layout, const std::uint8_t* data, std::size_t availableBits,
                                   std::size_t mapped, std::vector<Value>& changed) {
    std::uint8_t* previous = layout.previous.data();
    const std::uint64_t* fieldMask = layout.fieldMask.data();
    const std::uint64_t* arrayMask = layout.arrayMask.data();
    const bool hasArrays = !layout.arrays.empty();
    std::uint64_t fields = 0, arrays = 0;
    std::size_t byte = 0;
    for (; byte + 8 <= mapped; byte += 8) {
        std::uint64_t now = 0, before = 0;
        std::memcpy(&now, data + byte, 8);
        std::memcpy(&before, previous + byte, 8);
        if (now == before) continue;
        std::memcpy(previous + byte, &now, 8);
        std::uint64_t used = 0;
        std::memcpy(&used, layout.usedBits.data() + byte, 8);
        const std::uint64_t diff = (now ^ before) & used;
        if (diff == 0) continue;
        // All eight bytes, each masked by whether it changed: which of them did is as random as
        // the values, and a branch per changed byte would be mispredicted as often. Most reports
        // have no array fields, and skip their half.
        for (unsigned within = 0; within < 8; ++within) {
            const std::uint64_t keep = std::uint64_t{0} - (((diff >> (within * 8)) & 0xFF) != 0); // little-endian load
            fields |= fieldMask[byte + within] & keep;
        }
        if (hasArrays)
            for (unsigned within = 0; within < 8; ++within) {
                const std::uint64_t keep = std::uint64_t{0} - (((diff >> (within * 8)) & 0xFF) != 0);
                arrays |= arrayMask[byte + within] & keep;
            }
    }
    for (; byte < mapped; ++byte)
        if (data[byte] != previous[byte]) {
            if ((data[byte] ^ previous[byte]) & layout.usedBits[byte]) {
                fields |= fieldMask[byte];
                arrays |= arrayMask[byte];
            }
            previous[byte] = data[byte];
        }

    if (bitCount(fields) > layout.fields.size() / 2) {
        readAll(layout, data, availableBits, changed);
        return;
    }
    for (; fields != 0; fields &= fields - 1)
        readField(layout.fields[static_cast<std::size_t>(std::countr_zero(fields))], data, availableBits, changed);
    for (; arrays != 0; arrays &= arrays - 1)
        readArray(layout.arrays[static_cast<std::size_t>(std::countr_zero(arrays))], data, availableBits, changed);
}

std::optional<std::int64_t> HIDReportDecoder::value(std::size_t element) const {
    if (element >= seen_.size() || !seen_[element]) return std::nullopt;
    return last_[element];
}

} // namespace RorozErurEvo
