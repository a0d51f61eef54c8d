#pragma once
// A 128-bit identifier written as upper-case canonical text (8-4-4-4-12 hex digits).
#include <array>
#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace RorozErurEvo {

struct Uuid {
    std::array<std::uint8_t, 16> bytes{};

    static Uuid random();
    // Strict: exactly the canonical 36-character form, either letter case.
    static std::optional<Uuid> parse(std::string_view text);
    std::string text() const;

    friend bool operator==(const Uuid&, const Uuid&) = default;
    friend auto operator<=>(const Uuid&, const Uuid&) = default;
};

} // namespace RorozErurEvo
