#pragma once
// What a connected game controller offers, built once when it attaches: its element catalogue,
// its identity texts, its haptic localities and its capabilities. Pure functions of the
// backend's description of the controller.
#include <optional>
#include <string>
#include <vector>

#include "app/devices/ControllerBackend.h"
#include "app/devices/ControllerTap.h"
#include "app/devices/ElementInfo.h"

namespace Tessarine::ControllerCatalogue {

// Haptic locality names; the guided tests pass them back when they ask for a rumble.
inline constexpr const char* leftHandle = "Left Handle";
inline constexpr const char* rightHandle = "Right Handle";
inline constexpr const char* leftTrigger = "Left Trigger";
inline constexpr const char* rightTrigger = "Right Trigger";

// The element catalogue: the pads (sticks, d-pad, touch surfaces), then the buttons (triggers
// included), each group in ascending order of element id. Element ids are the controller input
// names the rest of the system uses ("Left Thumbstick", "Button A", …).
std::vector<DescribedElement> describe(const ControllerDescription& controller);

// Whether the controller has player-number lights: its family's name (its own name when the
// family is not known) holds one of the words of the families that have them.
bool hasPlayerLights(const ControllerDescription& controller);

// The product category of a controller family; absent when the family is not known.
std::optional<std::string> category(PadType type);

// Handles first, then triggers; empty without rumble motors.
std::vector<std::string> localities(const ControllerDescription& controller);

// Whether the controller has adaptive triggers (the DualSense).
bool hasAdaptiveTriggers(const ControllerDescription& controller);

} // namespace Tessarine::ControllerCatalogue
