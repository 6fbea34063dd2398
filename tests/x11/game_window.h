// Where the game's controls lie on the screen, from the window's place and the control
// table: the client area fills the window below the menu bar, at 96 dots per inch.
#pragma once

#include <utility>

#include "core/controls.h"
#include "x11/x_display.h"

namespace casino::x11 {

// The middle of the control.
inline std::pair<int, int> centre_of(const Rect& window, Control c) {
    const ControlSpec& row = spec_of(c);
    const int client_top = window.height - twips_to_pixels(kWindow.client_height, 96);
    return {window.x + twips_to_pixels(row.left + row.width / 2, 96),
            window.y + client_top + twips_to_pixels(row.top + row.height / 2, 96)};
}

// A point inside the window, away from every control: where the pointer rests so that the
// keyboard, which follows it when no window manager runs, stays with the window.
inline std::pair<int, int> resting_point(const Rect& window) {
    return {window.x + window.width - 3, window.y + window.height - 3};
}

}  // namespace casino::x11
