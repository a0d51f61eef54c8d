#include "testkit/TriggerEffects.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace RorozErurEvo;
namespace Effects = RorozErurEvo::TriggerEffects;

using EffectBytes = Effects::Effect;

// Expected bytes worked out by hand from the controller's format: type, the active zone bits
// (little-endian 16 bits), then per zone a 3-bit level (level − 1) packed from zone 0 upwards.
TEST(TriggerEffects, ModesEncodeByteForByte) {
    // Zones 2 … 9 active (0x03FC), level 6 → 0b101 in each of them.
    EXPECT_EQ(Effects::feedback(0.2, 0.8), (EffectBytes{0x21, 0xFC, 0x03, 0x40, 0xDB, 0xB6, 0x2D, 0, 0, 0, 0}));
    // Start zone 2 and end zone 5 as single bits (0x0024); strength 7 stored as 6.
    EXPECT_EQ(Effects::weapon(0.25, 0.6, 0.9), (EffectBytes{0x25, 0x24, 0x00, 0x06, 0, 0, 0, 0, 0, 0, 0}));
    // Zones 1 … 9 (0x03FE), amplitude 6, 64 Hz in byte 9.
    EXPECT_EQ(Effects::vibration(0.1, 0.8, 0.25), (EffectBytes{0x26, 0xFE, 0x03, 0x68, 0xDB, 0xB6, 0x2D, 0, 0, 64, 0}));
    EXPECT_EQ(Effects::off(), (EffectBytes{0x05, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(TriggerEffects, OutOfRangeInputStaysInsideTheControllersScales) {
    // Everything clamped to the full pull at the strongest level: all ten zones, 0b111 each.
    EXPECT_EQ(Effects::feedback(-3, 7), (EffectBytes{0x21, 0xFF, 0x03, 0xFF, 0xFF, 0xFF, 0x3F, 0, 0, 0, 0}));
    // A weapon must start in zones 2 … 7 and end after its start, by zone 8 at the latest.
    EXPECT_EQ(Effects::weapon(0.0, 0.0, 1.0), (EffectBytes{0x25, 0x0C, 0x00, 0x07, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(Effects::weapon(0.9, 0.95, 1.0), (EffectBytes{0x25, 0x80, 0x01, 0x07, 0, 0, 0, 0, 0, 0, 0}));
    // Nothing to feel, or not a number: the trigger is left free rather than set to garbage.
    EXPECT_EQ(Effects::feedback(0.5, 0.0), Effects::off());
    EXPECT_EQ(Effects::feedback(0.5, std::nan("")), Effects::off());
    EXPECT_EQ(Effects::vibration(0.5, 0.8, 0.0), Effects::off());
    EXPECT_EQ(Effects::weapon(std::nan(""), 0.6, 0.9)[1], 0x24); // the start falls back to zone 2
}

TEST(TriggerEffects, PacketSetsOnlyTheNamedTriggers) {
    const auto w = Effects::weapon(0.25, 0.6, 0.9);
    const auto right = Effects::packet(std::nullopt, w);
    EXPECT_EQ(right.size(), 47u);
    EXPECT_EQ(right[0], 0x04);
    for (std::size_t i = 0; i < w.size(); ++i) {
        EXPECT_EQ(right[10 + i], w[i]) << i;
        EXPECT_EQ(right[21 + i], 0) << i;
    }

    const auto left = Effects::packet(w, std::nullopt);
    EXPECT_EQ(left[0], 0x08);
    EXPECT_EQ(left[10], 0);
    EXPECT_EQ(left[21], 0x25);

    const auto both = Effects::packet(Effects::off(), Effects::off());
    EXPECT_EQ(both[0], 0x0C);
    EXPECT_EQ(both[10], 0x05);
    EXPECT_EQ(both[21], 0x05);
    // Rumble, light and every other part stay untouched.
    for (std::size_t i = 1; i < 10; ++i) EXPECT_EQ(both[i], 0) << i;
    for (std::size_t i = 32; i < both.size(); ++i) EXPECT_EQ(both[i], 0) << i;

    EXPECT_EQ(Effects::packet(std::nullopt, std::nullopt), Effects::Packet{});
}
