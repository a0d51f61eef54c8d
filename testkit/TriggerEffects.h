#pragma once
// Adaptive-trigger effects of the DualSense controller, encoded as the controller itself takes
// them: an 11-byte effect per trigger inside the 47-byte effects block of its output report.
// The block goes to the controller unchanged (SDL_GameControllerSendEffect); only the parts
// whose flag is set in its first byte are applied, so one trigger can change alone.
//
// Positions, strengths and amplitudes come on 0 … 1 scales and are placed on the controller's
// own scales: ten zones along the pull (0 at rest … 9 at the end) and eight force levels (1 … 8,
// where 0 means no effect at all).
#include <array>
#include <cstdint>
#include <optional>

namespace RorozErurEvo::TriggerEffects {

using Effect = std::array<std::uint8_t, 11>;
using Packet = std::array<std::uint8_t, 47>;

// Effect type bytes.
inline constexpr std::uint8_t offType = 0x05;
inline constexpr std::uint8_t feedbackType = 0x21;
inline constexpr std::uint8_t weaponType = 0x25;
inline constexpr std::uint8_t vibrationType = 0x26;

// Where the parts sit in the effects block (byte offsets) and their flags in its first byte.
inline constexpr std::size_t rightEffectOffset = 10;
inline constexpr std::size_t leftEffectOffset = 21;
inline constexpr std::uint8_t rightTriggerFlag = 0x04;
inline constexpr std::uint8_t leftTriggerFlag = 0x08;

// No resistance: the trigger moves freely.
Effect off();
// Resistance of `strength` from `start` to the end of the pull.
Effect feedback(double start, double strength);
// Resistance from `start` that gives way at `end`, like a gun's trigger. The controller takes a
// start in zones 2 … 7 and an end after it, up to zone 8.
Effect weapon(double start, double end, double strength);
// The trigger buzzes from `start` on; `frequency` 0 … 1 spans 1 … 255 Hz.
Effect vibration(double start, double amplitude, double frequency);

// The effects block that sets the given triggers and leaves everything else as it is.
Packet packet(const std::optional<Effect>& left, const std::optional<Effect>& right);

} // namespace RorozErurEvo::TriggerEffects
