#include "testkit/HIDUsage.h"

#include <array>
#include <charconv>
#include <cstdint>

#include "testkit/Fmt.h"

namespace RorozErurEvo::HIDUsage {

namespace {

struct NamedUsage {
    int page;
    int usage;
    const char* name;
};

constexpr std::array namedUsages{
    NamedUsage{1, 48, "X"},
    NamedUsage{1, 49, "Y"},
    NamedUsage{1, 50, "Z"},
    NamedUsage{1, 51, "Rx"},
    NamedUsage{1, 52, "Ry"},
    NamedUsage{1, 53, "Rz"},
    NamedUsage{1, 54, "Slider"},
    NamedUsage{1, 55, "Dial"},
    NamedUsage{1, 56, "Wheel"},
    NamedUsage{1, 57, "Hat switch"},
    NamedUsage{1, 61, "Start"},
    NamedUsage{1, 62, "Select"},
    NamedUsage{1, 64, "Vx"},
    NamedUsage{1, 65, "Vy"},
    NamedUsage{1, 66, "Vz"},
    NamedUsage{1, 133, "System menu"},
    NamedUsage{1, 144, "D-pad up"},
    NamedUsage{1, 145, "D-pad down"},
    NamedUsage{1, 146, "D-pad right"},
    NamedUsage{1, 147, "D-pad left"},
    NamedUsage{2, 176, "Aileron"},
    NamedUsage{2, 184, "Elevator"},
    NamedUsage{2, 186, "Rudder"},
    NamedUsage{2, 187, "Throttle"},
    NamedUsage{2, 196, "Accelerator"},
    NamedUsage{2, 197, "Brake"},
    NamedUsage{2, 198, "Clutch"},
    NamedUsage{2, 199, "Shifter"},
    NamedUsage{2, 200, "Steering"},
    NamedUsage{5, 32, "Point of view"},
    NamedUsage{5, 33, "Turn right/left"},
    NamedUsage{5, 34, "Pitch forward/back"},
    NamedUsage{5, 35, "Roll right/left"},
    NamedUsage{5, 36, "Move right/left"},
    NamedUsage{5, 37, "Move forward/back"},
    NamedUsage{5, 38, "Move up/down"},
    NamedUsage{5, 55, "Gamepad fire/jump"},
    NamedUsage{5, 57, "Gamepad trigger"},
    NamedUsage{6, 32, "Battery strength"},
    NamedUsage{9, 0, "No button"},
    NamedUsage{12, 176, "Play"},
    NamedUsage{12, 178, "Record"},
    NamedUsage{12, 205, "Play/Pause"},
    NamedUsage{12, 233, "Volume up"},
    NamedUsage{12, 234, "Volume down"},
    NamedUsage{12, 547, "Home"},
    NamedUsage{12, 548, "Back"},
};

// Hexadecimal has no place in Fmt's decimal rule; like printf's "%02X" of a C int: upper-case hexadecimal, at least two digits, negative numbers
// as their 32-bit pattern.
std::string hex2(int value) {
    char digits[16];
    auto end = std::to_chars(digits, digits + sizeof digits, static_cast<std::uint32_t>(value), 16).ptr;
    std::string text(digits, end);
    for (char& c : text)
        if (c >= 'a' && c <= 'f') c = static_cast<char>(c - 'a' + 'A');
    if (text.size() < 2) text.insert(0, 2 - text.size(), '0');
    return text;
}

const char* pageWord(int page) {
    switch (page) {
    case genericDesktop: return "Desktop";
    case simulation: return "Simulation";
    case game: return "Game";
    case genericDevice: return "Device";
    case consumer: return "Consumer";
    default: return nullptr;
    }
}

} // namespace

bool isKeyboardOrMouse(int page, int usage) {
    if (page == keyboard) return true;
    return page == genericDesktop &&
           (usage == pointer || usage == mouse || usage == keyboardUsage || usage == keypad);
}

bool isShown(int page) {
    switch (page) {
    case genericDesktop:
    case simulation:
    case vr:
    case sport:
    case game:
    case genericDevice:
    case button:
    case consumer: return true;
    default: return false;
    }
}

std::string name(int page, int usage) {
    for (const auto& named : namedUsages)
        if (named.page == page && named.usage == usage) return named.name;
    if (page == button && usage >= 1) return "Button " + Fmt::trim(usage, 0);
    if (const char* word = pageWord(page)) return std::string(word) + " " + hex2(usage);
    return "Page " + hex2(page) + " usage " + hex2(usage);
}

} // namespace RorozErurEvo::HIDUsage
