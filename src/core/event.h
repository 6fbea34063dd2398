// One user action, as every front end delivers it to Form1::handle, and what became of it.
#pragma once

#include <cstdint>
#include <optional>

#include "core/controls.h"

namespace casino {

enum class EventType : std::uint8_t {
    Load,      // the window exists with its controls; run the load step
    Unload,    // the window is being closed (close box, system menu, Alt+F4)
    Click,     // a click on a button
    KeyPress,  // a character key typed in a list box
    Menu,      // a menu item chosen, by click or by its shortcut
};

// The control that holds the keyboard as an event happens; none when no control does.
using Keyboard = std::optional<Control>;

struct Event {
    EventType type = EventType::Load;
    Control control = Control::cmdexit;  // Click, KeyPress
    MenuItem menu = MenuItem::help;      // Menu
    int key = 0;                         // KeyPress: the character code (13 is Enter)
    int highlight = -1;                  // KeyPress: the list's highlighted entry, -1 for none
    Keyboard focus;                      // the control holding the keyboard as it came

    static constexpr Event load() {
        return {EventType::Load, Control::cmdexit, MenuItem::help, 0, -1, {}};
    }
    static constexpr Event unload() {
        return {EventType::Unload, Control::cmdexit, MenuItem::help, 0, -1, {}};
    }
    static constexpr Event click(Control c, Keyboard focus) {
        return {EventType::Click, c, MenuItem::help, 0, -1, focus};
    }
    // A key typed in a list, with the entry the list had highlighted when it came.
    static constexpr Event key_press(Control list, int code, int highlight, Keyboard focus) {
        return {EventType::KeyPress, list, MenuItem::help, code, highlight, focus};
    }
    static constexpr Event menu_item(MenuItem m, Keyboard focus) {
        return {EventType::Menu, Control::cmdexit, m, 0, -1, focus};
    }

    friend constexpr bool operator==(const Event&, const Event&) = default;
};

inline constexpr int kEnterKey = 13;

// What became of an event.
enum class Result : std::uint8_t {
    Handled,  // its handler ran (which may have done nothing)
    Refused,  // the window could not deliver it now, or it came while a handler ran
    Ended,    // the game is over: the front end ends the program
};

struct Outcome {
    Result result = Result::Refused;
    // The control that takes the keyboard now, when the one that held it was hidden and
    // the handler gave it to no control itself: the next shown control after it in the
    // tab order. After the load step, the control that takes it as the window opens.
    Keyboard focus;

    friend constexpr bool operator==(const Outcome&, const Outcome&) = default;
};

}  // namespace casino
