// The controls and menu items by the names scripts and transcripts give them (the game's
// own names), both ways.
#pragma once

#include <optional>
#include <string_view>

#include "core/controls.h"

namespace casino {

// A control's or a menu item's name, as scripts and transcripts write it.
inline std::string_view name_of(Control c) { return spec_of(c).name; }
inline std::string_view name_of(MenuItem m) { return spec_of(m).name; }

}  // namespace casino

namespace casino::testing {

inline std::optional<Control> control_named(std::string_view name) {
    for (const ControlSpec& row : kControls) {
        if (row.name == name) return row.id;
    }
    return std::nullopt;
}

inline std::optional<MenuItem> menu_item_named(std::string_view name) {
    for (const MenuItemSpec& row : kMenuItems) {
        if (row.name == name) return row.id;
    }
    return std::nullopt;
}

}  // namespace casino::testing
