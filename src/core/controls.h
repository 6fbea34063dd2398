// The window's controls and menus as data: both front ends build their widgets from these tables.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace casino {

// The thirteen controls, in creation order, by the game's own names; each comment gives
// the caption the player sees (the lists have none).
enum class Control : std::uint8_t {
    List2,     // the pawned list: one ticket line for each item at the pawnshop
    List1,     // the wardrobe list: one entry for each item the player still wears
    cmdre,     // "выкупить" (redeem)
    cmdpay,    // "заложить" (pawn)
    cmdwent,   // "уйти" (leave the pawnshop)
    cmdlom,    // "ломбард" (the pawnshop)
    cmddu,     // "дюжина" (the dozen bet)
    Command2,  // "чет" (even)
    Command1,  // "нечет" (odd)
    cmdbleck,  // "черное" (black)
    cmdred,    // "красное" (red)
    cmdexit,   // "вход" (the entrance)
    cmdnum,    // "число" (the numbers bet)
};
inline constexpr int kControlCount = 13;

enum class ControlKind : std::uint8_t { Button, ListBox };

struct ControlSpec {
    Control id;
    std::string_view name;
    ControlKind kind;
    std::string_view caption;  // empty for list boxes
    int left;                  // twips, from the client area's top left corner
    int top;
    int width;
    int height;
    bool enabled;  // on creation, before the load step
    bool visible;
    int tab_order;
};

// The six bet buttons, in the order the game shows and hides them.
inline constexpr std::array<Control, 6> kBetButtons{Control::Command1, Control::Command2,
                                                    Control::cmdred,   Control::cmdbleck,
                                                    Control::cmddu,    Control::cmdnum};

// The three screens of the one window. A screen is the set of controls shown on it.
enum class Screen : std::uint8_t { street, floor, pawnshop };

// The controls a screen shows, in the order the game shows them: the street "вход" alone;
// the casino floor the six bet buttons, then "ломбард"; the pawnshop its three buttons,
// and besides them at most one of the two lists, which the pawnshop's buttons open.
std::span<const Control> controls_on(Screen screen);

// Creation order; index with the Control value.
extern const std::array<ControlSpec, kControlCount> kControls;

const ControlSpec& spec_of(Control c);
bool is_list(Control c);

// What a screen reader says about a list box, which has no caption on the window: its name,
// and the key that acts on its highlighted entry.
struct ListVoice {
    std::string_view name;
    std::string_view hint;
};
ListVoice voice_of(Control list);

// The controls in their tab order, "число" first.
const std::array<Control, kControlCount>& tab_order();

// The first control after `from` in the tab order that `wanted` accepts, wrapping round
// the end of the order and trying `from` itself last; none if no control is accepted.
// The game uses it to hand the keyboard on when the control holding it goes away.
template <class Predicate>
std::optional<Control> next_in_tab_order(Control from, Predicate wanted) {
    const auto& order = tab_order();
    const auto start = static_cast<std::size_t>(spec_of(from).tab_order);
    for (std::size_t step = 1; step <= order.size(); ++step) {
        const Control c = order[(start + step) % order.size()];
        if (wanted(c)) return c;
    }
    return std::nullopt;
}

// The menu items that carry a command. The two drop-down menus have none of their own.
// In the game the items are named деньги, sound, new, выход and help.
enum class MenuItem : std::uint8_t { balance, sound, start_over, exit, help };
inline constexpr int kMenuItemCount = 5;

enum class Shortcut : std::uint8_t { None, F1, F2, F3, F5 };

struct MenuItemSpec {
    MenuItem id;
    std::string_view
        name;  // the item's name in the game: "деньги", "sound", "new", "выход", "help"
    std::string_view caption;  // caption on creation
    Shortcut shortcut;
    std::string_view shortcut_text;  // shown right-aligned in the item, empty when none
};

struct MenuSpec {
    std::string_view name;
    std::string_view caption;
    int first_item;  // index into kMenuItems
    int item_count;
};

extern const std::array<MenuItemSpec, kMenuItemCount> kMenuItems;
extern const std::array<MenuSpec, 2> kMenus;

const MenuItemSpec& spec_of(MenuItem m);
// The item's label as a menu shows it: its caption, then its shortcut after a tab, which is
// where both toolkits look for the key to show right-aligned (and wx for the key to bind).
// A caption that merely names a key ("выход alt+f4") binds none.
std::string menu_label(MenuItem m, std::string_view caption);

// The captions the sound item switches between.
inline constexpr std::string_view kSoundOffCaption = "отключить звук";
inline constexpr std::string_view kSoundOnCaption = "включить звук";

// The window itself.
struct Rgb {
    std::uint8_t r, g, b;
};
struct WindowSpec {
    std::string_view caption;
    int client_width;  // twips
    int client_height;
    Rgb background;
    Rgb text_colour;  // governs text drawn on the window's own surface; the game draws none
    int font_points;
    bool font_bold;
};
extern const WindowSpec kWindow;

// The title of every message box and input box.
inline constexpr std::string_view kAppTitle = "казино";

inline constexpr int kTwipsPerInch = 1440;

// Twips to device pixels at the given dots per inch, rounded to the nearest pixel.
constexpr int twips_to_pixels(int twips, int dpi) {
    const long long scaled = static_cast<long long>(twips) * dpi;
    return static_cast<int>((scaled + kTwipsPerInch / 2) / kTwipsPerInch);
}

}  // namespace casino
