#include "testkit/SettingsIniUnicode.h"

namespace RorozErurEvo::SettingsIni::Unicode {

namespace {

bool continuation(unsigned char b) { return (b & 0xC0) == 0x80; }

void appendUnits(std::u16string& out, char32_t c) {
    if (c < 0x10000) {
        out += static_cast<char16_t>(c);
    } else {
        out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
        out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    }
}

} // namespace

bool decode(std::string_view bytes, std::u16string& out, bool cutAllowed) {
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        if (lead < 0x80) {
            out += static_cast<char16_t>(lead);
            ++i;
            continue;
        }
        // C0 and C1 can only start overlong forms, F5 and above only code points past U+10FFFF.
        std::size_t length = 0;
        char32_t least = 0;
        if (lead >= 0xC2 && lead < 0xE0) length = 2, least = 0x80;
        else if (lead >= 0xE0 && lead < 0xF0) length = 3, least = 0x800;
        else if (lead >= 0xF0 && lead < 0xF5) length = 4, least = 0x10000;
        const std::size_t available = bytes.size() - i - 1;
        bool valid = length > 0;
        if (valid && available < length - 1) {
            // Cut short, unless a byte that is there already breaks the sequence.
            bool broken = false;
            for (std::size_t k = 1; k <= available; ++k)
                if (!continuation(static_cast<unsigned char>(bytes[i + k]))) broken = true;
            if (!broken && !cutAllowed) return false;
            valid = false;
        }
        char32_t c = lead & (0xFF >> (length + 1));
        for (std::size_t k = 1; valid && k < length; ++k) {
            const auto next = static_cast<unsigned char>(bytes[i + k]);
            if (!continuation(next)) valid = false;
            c = (c << 6) | (next & 0x3F);
        }
        if (valid && (c < least || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF)) valid = false;
        if (!valid) {
            out += u'\uFFFD';
            ++i;
            continue;
        }
        appendUnits(out, c);
        i += length;
    }
    return true;
}

std::optional<std::string> utf8(std::u16string_view units) {
    std::string out;
    out.reserve(units.size());
    for (std::size_t i = 0; i < units.size(); ++i) {
        char32_t c = units[i];
        if (c >= 0xD800 && c <= 0xDFFF) {
            if (c >= 0xDC00 || i + 1 >= units.size() || units[i + 1] < 0xDC00 || units[i + 1] > 0xDFFF)
                return std::nullopt;
            c = 0x10000 + ((c - 0xD800) << 10) + (units[++i] - 0xDC00);
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

} // namespace RorozErurEvo::SettingsIni::Unicode
