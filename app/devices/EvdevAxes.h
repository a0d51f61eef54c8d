#pragma once
// Which absolute axes a Linux input device has, in code order: the order in which SDL's
// joystick layer numbers them (the hat codes, which it reads as hats, left out). Only the
// device's capability bits are asked for; no input is read.
#include <optional>
#include <string>
#include <vector>

namespace Tessarine::EvdevAxes {

// The axis codes (ABS_X 0, ABS_Y 1, …) of an event node such as "/dev/input/event7"; absent when
// the node is no event node or cannot be opened.
std::optional<std::vector<int>> codes(const std::string& node);

} // namespace Tessarine::EvdevAxes
