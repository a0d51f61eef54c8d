#include "testkit/Uuid.h"

#include <uuid/uuid.h>

#include <array>
#include <cstdint>

namespace RorozErurEvo {

Uuid Uuid::random() {
    Uuid id;
    uuid_generate_random(id.bytes.data());
    return id;
}

namespace {

// The value of each hexadecimal digit, either case; -1 for every other byte.
constexpr std::array<std::int8_t, 256> hexDigits = [] {
    std::array<std::int8_t, 256> table{};
    table.fill(-1);
    for (int c = 0; c < 10; ++c) table['0' + c] = static_cast<std::int8_t>(c);
    for (int c = 0; c < 6; ++c) {
        table['a' + c] = static_cast<std::int8_t>(10 + c);
        table['A' + c] = static_cast<std::int8_t>(10 + c);
    }
    return table;
}();

} // namespace

std::optional<Uuid> Uuid::parse(std::string_view text) {
    // Session files hold one per result, so a large folder parses tens of thousands.
    if (text.size() != 36 || text[8] != '-' || text[13] != '-' || text[18] != '-' || text[23] != '-') return std::nullopt;
    Uuid id;
    std::size_t byte = 0;
    int invalid = 0;
    for (std::size_t i = 0; i < 36; i += 2) {
        if (i == 8 || i == 13 || i == 18 || i == 23) ++i;
        const int hi = hexDigits[static_cast<unsigned char>(text[i])];
        const int lo = hexDigits[static_cast<unsigned char>(text[i + 1])];
        invalid |= hi | lo;
        id.bytes[byte++] = static_cast<std::uint8_t>(hi * 16 + lo);
    }
    if (invalid < 0) return std::nullopt;
    return id;
}

std::string Uuid::text() const {
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(36);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10) out.push_back('-');
        out.push_back(digits[bytes[i] >> 4]);
        out.push_back(digits[bytes[i] & 0x0F]);
    }
    return out;
}

} // namespace RorozErurEvo
