#pragma once
// What the sidebar has selected, and the tab of a device's detail view (one for the window).
#include <array>
#include <string>

#include "testkit/Enum.h"

namespace Tessarine {

struct SidebarItem {
    enum class Kind { device, keyboard, mouse, batch, history };

    Kind kind = Kind::history;
    std::string deviceID; // only for Kind::device

    static SidebarItem device(std::string id) { return {Kind::device, std::move(id)}; }
    static SidebarItem keyboard() { return {Kind::keyboard, {}}; }
    static SidebarItem mouse() { return {Kind::mouse, {}}; }
    static SidebarItem batch() { return {Kind::batch, {}}; }
    static SidebarItem history() { return {Kind::history, {}}; }

    bool isDevice() const { return kind == Kind::device; }

    friend bool operator==(const SidebarItem&, const SidebarItem&) = default;
};

enum class DetailTab { bench, raw, history };

} // namespace Tessarine

template <> struct RorozErurEvo::EnumTable<Tessarine::DetailTab> {
    static constexpr std::array entries{EnumEntry{Tessarine::DetailTab::bench, "bench"},
                                        EnumEntry{Tessarine::DetailTab::raw, "raw"},
                                        EnumEntry{Tessarine::DetailTab::history, "history"}};
};
