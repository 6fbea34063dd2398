// The whole game as one value: the table state, what each control shows, and both lists'
// entries. Two games are alike when their states compare equal.
#pragma once

#include <array>
#include <vector>

#include "core/controls.h"
#include "core/table_state.h"

namespace casino {

struct GameState {
    TableState table;
    // Shown is visible and enabled; the game always sets the two together, but the
    // window's controls start as the control table creates them.
    std::array<bool, kControlCount> visible = created(&ControlSpec::visible);
    std::array<bool, kControlCount> enabled = created(&ControlSpec::enabled);
    std::vector<Item> wardrobe;  // List1's entries, in their order: the items' texts
    std::vector<Item> pawned;    // List2's entries: the items whose tickets it shows

    // Whether the window delivers input to the control now.
    [[nodiscard]] bool accepts_input(Control c) const {
        return visible[static_cast<std::size_t>(c)] && enabled[static_cast<std::size_t>(c)];
    }
    friend bool operator==(const GameState&, const GameState&) = default;

   private:
    static std::array<bool, kControlCount> created(bool ControlSpec::*property) {
        std::array<bool, kControlCount> values{};
        for (const ControlSpec& row : kControls) {
            values[static_cast<std::size_t>(row.id)] = row.*property;
        }
        return values;
    }
};

}  // namespace casino
