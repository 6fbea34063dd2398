// The controls and menu items by the names a script gives them (the game's own names).
#pragma once

#include <optional>
#include <string_view>

#include "core/controls.h"

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
