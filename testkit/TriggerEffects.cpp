#include "testkit/TriggerEffects.h"

#include <algorithm>
#include <cmath>

namespace RorozErurEvo::TriggerEffects {

namespace {

constexpr int lastZone = 9;       // zones along the pull: 0 … 9
constexpr int maxLevel = 8;       // force and amplitude levels: 1 … 8
constexpr int weaponFirstStart = 2;
constexpr int weaponLastStart = 7;
constexpr int weaponLastEnd = 8;
constexpr int maxFrequency = 255; // Hz

// A 0 … 1 value on a scale of whole steps lo … hi; a value that is not a number counts as 0.
int scaled(double unit, int steps, int lo, int hi) {
    if (!std::isfinite(unit)) unit = 0;
    const long long n = std::llround(std::clamp(unit, 0.0, 1.0) * steps);
    return static_cast<int>(std::clamp<long long>(n, lo, hi));
}

// The zone bits from `zone` to the end of the pull, and a 3-bit level repeated in each of them.
Effect zoned(std::uint8_t type, int zone, int level) {
    std::uint16_t active = 0;
    std::uint32_t levels = 0;
    for (int i = zone; i <= lastZone; ++i) {
        active = static_cast<std::uint16_t>(active | (1u << i));
        levels |= static_cast<std::uint32_t>((level - 1) & 0x07) << (3 * i);
    }
    Effect e{};
    e[0] = type;
    e[1] = static_cast<std::uint8_t>(active & 0xff);
    e[2] = static_cast<std::uint8_t>(active >> 8);
    for (int b = 0; b < 4; ++b) e[3 + b] = static_cast<std::uint8_t>((levels >> (8 * b)) & 0xff);
    return e;
}

} // namespace

Effect off() {
    Effect e{};
    e[0] = offType;
    return e;
}

Effect feedback(double start, double strength) {
    const int level = scaled(strength, maxLevel, 0, maxLevel);
    if (level == 0) return off();
    return zoned(feedbackType, scaled(start, lastZone, 0, lastZone), level);
}

Effect weapon(double start, double end, double strength) {
    const int level = scaled(strength, maxLevel, 0, maxLevel);
    if (level == 0) return off();
    const int from = scaled(start, lastZone, weaponFirstStart, weaponLastStart);
    const int to = scaled(end, lastZone, from + 1, weaponLastEnd);
    const auto zones = static_cast<std::uint16_t>((1u << from) | (1u << to));
    Effect e{};
    e[0] = weaponType;
    e[1] = static_cast<std::uint8_t>(zones & 0xff);
    e[2] = static_cast<std::uint8_t>(zones >> 8);
    e[3] = static_cast<std::uint8_t>(level - 1);
    return e;
}

Effect vibration(double start, double amplitude, double frequency) {
    const int level = scaled(amplitude, maxLevel, 0, maxLevel);
    const int hertz = scaled(frequency, maxFrequency, 0, maxFrequency);
    if (level == 0 || hertz == 0) return off();
    Effect e = zoned(vibrationType, scaled(start, lastZone, 0, lastZone), level);
    e[9] = static_cast<std::uint8_t>(hertz);
    return e;
}

Packet packet(const std::optional<Effect>& left, const std::optional<Effect>& right) {
    Packet p{};
    if (right) {
        p[0] |= rightTriggerFlag;
        std::copy(right->begin(), right->end(), p.begin() + rightEffectOffset);
    }
    if (left) {
        p[0] |= leftTriggerFlag;
        std::copy(left->begin(), left->end(), p.begin() + leftEffectOffset);
    }
    return p;
}

} // namespace RorozErurEvo::TriggerEffects
