#pragma once
// One expected input of a buttons or keyboard test.
#include <cstddef>
#include <functional>
#include <string>

#include "testkit/Json.h"

namespace RorozErurEvo {

struct InputName {
    std::string id;    // matched against ButtonEvent::input
    std::string name;  // shown to the user

    json toJson() const;
    static InputName fromJson(const json& value);

    friend bool operator==(const InputName&, const InputName&) = default;
};

} // namespace RorozErurEvo

template <> struct std::hash<RorozErurEvo::InputName> {
    std::size_t operator()(const RorozErurEvo::InputName& n) const noexcept {
        std::size_t h = std::hash<std::string>{}(n.id);
        return h ^ (std::hash<std::string>{}(n.name) + 0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2));
    }
};
