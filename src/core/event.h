// One user action, as every front end delivers it to Form1::handle.
#pragma once

#include <cstdint>

#include "core/controls.h"

namespace casino {

enum class EventType : std::uint8_t {
    Load,      // the window exists with its controls; run the load step
    Unload,    // the window is being closed (close box, system menu, Alt+F4)
    Click,     // a click on a button
    KeyPress,  // a character key typed in a list box
    Menu,      // a menu item chosen, by click or by its shortcut
};

struct Event {
    EventType type = EventType::Load;
    Control control = Control::cmdexit;  // Click, KeyPress
    MenuItem menu = MenuItem::help;      // Menu
    int key = 0;                         // KeyPress: the character code (13 is Enter)
    int highlight = -1;                  // KeyPress: the list's highlighted entry, -1 for none

    static constexpr Event load() { return {EventType::Load}; }
    static constexpr Event unload() { return {EventType::Unload}; }
    static constexpr Event click(Control c) { return {EventType::Click, c}; }
    // A key typed in a list, with the entry the list had highlighted when it came.
    static constexpr Event key_press(Control list, int code, int highlight) {
        return {EventType::KeyPress, list, MenuItem::help, code, highlight};
    }
    static constexpr Event menu_item(MenuItem m) { return {EventType::Menu, Control::cmdexit, m}; }

    friend constexpr bool operator==(const Event&, const Event&) = default;
};

inline constexpr int kEnterKey = 13;

}  // namespace casino
