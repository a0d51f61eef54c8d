#include "testkit/JoystickLayout.h"

#include <algorithm>

namespace RorozErurEvo {

namespace {

constexpr int genericDesktop = 1, simulation = 2, buttonPage = 9;
constexpr int joystickUsage = 4, hatSwitch = 0x39, slider = 0x36;
constexpr int hatNull = 8;

int wholeBytes(int bits) { return (bits + 7) / 8 * 8; }

} // namespace

HIDUsagePair JoystickLayout::usageOfAbsCode(int code) {
    // ABS_X … ABS_RZ, ABS_THROTTLE, ABS_RUDDER and ABS_WHEEL come from the desktop page's X …
    // Rz, slider, dial and wheel; ABS_GAS and ABS_BRAKE from the simulation page.
    if (code >= 0 && code <= 8) return {genericDesktop, 0x30 + code};
    if (code == 9) return {simulation, 0xC4};
    if (code == 10) return {simulation, 0xC5};
    return {genericDesktop, slider};
}

std::vector<HIDUsagePair> JoystickLayout::numberedAxes(int count) {
    std::vector<HIDUsagePair> usages;
    for (int i = 0; i < count; ++i) usages.push_back(usageOfAbsCode(i));
    return usages;
}

JoystickLayout::JoystickLayout(std::vector<HIDUsagePair> axes, int hats, int buttons)
    : axes_(static_cast<int>(axes.size())), hats_(std::max(0, hats)), buttons_(std::max(0, buttons)) {
    hatOffset_ = axes_ * 16;
    buttonOffset_ = wholeBytes(hatOffset_ + hats_ * 4);
    const int bits = wholeBytes(buttonOffset_ + buttons_);
    bytes_ = static_cast<std::size_t>(bits / 8);

    std::uint32_t cookie = 0;
    auto add = [&](int page, int usage, std::int64_t min, std::int64_t max, int size, int offset) {
        HIDElement e;
        e.cookie = ++cookie;
        e.page = page;
        e.usage = usage;
        e.logicalMin = min;
        e.logicalMax = max;
        e.reportSize = size;
        e.bitOffset = offset;
        e.isSigned = min < 0;
        descriptor_.elements.push_back(e);
    };
    for (int i = 0; i < axes_; ++i) add(axes[i].page, axes[i].usage, axisMin, axisMax, 16, i * 16);
    for (int i = 0; i < hats_; ++i) add(genericDesktop, hatSwitch, 0, 7, 4, hatOffset_ + i * 4);
    for (int i = 0; i < buttons_; ++i) add(buttonPage, i + 1, 0, 1, 1, buttonOffset_ + i);
    descriptor_.applications = {{genericDesktop, joystickUsage}};
    descriptor_.inputReportBits[0] = static_cast<std::size_t>(bits);
}

std::vector<std::uint8_t> JoystickLayout::restingReport() const {
    std::vector<std::uint8_t> report(bytes_, 0);
    for (int i = 0; i < hats_; ++i) setHat(report, i, 0);
    return report;
}

void JoystickLayout::put(std::span<std::uint8_t> report, int bitOffset, int bits, std::uint32_t value) const {
    for (int b = 0; b < bits; ++b) {
        const auto at = static_cast<std::size_t>((bitOffset + b) / 8);
        if (at >= report.size()) return;
        const auto mask = static_cast<std::uint8_t>(1u << ((bitOffset + b) % 8));
        if (value >> b & 1u) report[at] |= mask;
        else report[at] &= static_cast<std::uint8_t>(~mask);
    }
}

void JoystickLayout::setAxis(std::span<std::uint8_t> report, int index, std::int16_t value) const {
    if (index < 0 || index >= axes_) return;
    put(report, index * 16, 16, static_cast<std::uint16_t>(value));
}

void JoystickLayout::setHat(std::span<std::uint8_t> report, int index, int hatBits) const {
    if (index < 0 || index >= hats_) return;
    put(report, hatOffset_ + index * 4, 4, static_cast<std::uint32_t>(hatValue(hatBits)));
}

void JoystickLayout::setButton(std::span<std::uint8_t> report, int index, bool down) const {
    if (index < 0 || index >= buttons_) return;
    put(report, buttonOffset_ + index, 1, down ? 1u : 0u);
}

int JoystickLayout::hatValue(int hatBits) {
    const bool up = hatBits & hatUp, right = hatBits & hatRight, down = hatBits & hatDown, left = hatBits & hatLeft;
    // Opposite directions at once cancel out, as a hat cannot point both ways.
    const int y = (up && !down) ? 1 : (down && !up) ? -1 : 0;
    const int x = (right && !left) ? 1 : (left && !right) ? -1 : 0;
    static constexpr int byDirection[3][3] = {
        // x = −1, 0, +1
        {5, 4, 3}, // y = −1: down-left, down, down-right
        {6, hatNull, 2}, // y = 0: left, centred, right
        {7, 0, 1}, // y = +1: up-left, up, up-right
    };
    return byDirection[y + 1][x + 1];
}

} // namespace RorozErurEvo
