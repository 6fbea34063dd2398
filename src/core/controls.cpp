// The control, menu and window tables.
#include "core/controls.h"

namespace casino {

using enum ControlKind;

const std::array<ControlSpec, kControlCount> kControls{{
    // id               name        kind     caption     left  top   width height enabled visible
    // tab
    {Control::List2, "List2", ListBox, "", 1871, 2040, 1417, 255, false, false, 12},
    {Control::List1, "List1", ListBox, "", 1871, 480, 1417, 255, false, false, 11},
    {Control::cmdre, "cmdre", Button, "выкупить", 120, 2040, 1417, 283, false, false, 10},
    {Control::cmdpay, "cmdpay", Button, "заложить", 120, 480, 1417, 283, false, false, 9},
    {Control::cmdwent, "cmdwent", Button, "уйти", 120, 1320, 1134, 283, false, false, 8},
    {Control::cmdlom, "cmdlom", Button, "ломбард", 737, 567, 850, 283, true, false, 7},
    {Control::cmddu, "cmddu", Button, "дюжина", 737, 1701, 850, 283, true, true, 6},
    {Control::Command2, "Command2", Button, "чет", 3033, 1701, 850, 283, true, true, 5},
    {Control::Command1, "Command1", Button, "нечет", 1871, 1701, 850, 283, true, true, 4},
    {Control::cmdbleck, "cmdbleck", Button, "черное", 3033, 1134, 850, 283, true, true, 3},
    {Control::cmdred, "cmdred", Button, "красное", 1871, 1134, 850, 283, true, true, 2},
    {Control::cmdexit, "cmdexit", Button, "вход", 1800, 1200, 850, 283, true, true, 1},
    {Control::cmdnum, "cmdnum", Button, "число", 737, 1134, 850, 283, true, true, 0},
}};

const std::array<MenuItemSpec, kMenuItemCount> kMenuItems{{
    {MenuItem::balance, "деньги", "деньги", Shortcut::F3, "F3"},
    {MenuItem::sound, "sound", kSoundOffCaption, Shortcut::F5, "F5"},
    {MenuItem::start_over, "new", "заново", Shortcut::F2, "F2"},
    {MenuItem::exit, "выход", "выход alt+f4", Shortcut::None, ""},
    {MenuItem::help, "help", "формула успеха", Shortcut::F1, "F1"},
}};

const std::array<MenuSpec, 2> kMenus{{
    {"файл", "игра", 0, 4},
    {"справка", "справка", 4, 1},
}};

const WindowSpec kWindow{
    "казино \"Пельтораг\"", 4680, 3150, {0, 255, 0}, {255, 0, 0}, 26, true,
};

const ControlSpec& spec_of(Control c) { return kControls[static_cast<std::size_t>(c)]; }

bool is_list(Control c) { return spec_of(c).kind == ListBox; }

const std::array<Control, kControlCount>& tab_order() {
    static const std::array<Control, kControlCount> order = [] {
        std::array<Control, kControlCount> by_tab{};
        for (const ControlSpec& row : kControls) {
            by_tab[static_cast<std::size_t>(row.tab_order)] = row.id;
        }
        return by_tab;
    }();
    return order;
}

namespace {

constexpr Control kStreetControls[] = {Control::cmdexit};
constexpr Control kFloorControls[] = {Control::Command1, Control::Command2, Control::cmdred,
                                      Control::cmdbleck, Control::cmddu,    Control::cmdnum,
                                      Control::cmdlom};
constexpr Control kPawnshopControls[] = {Control::cmdwent, Control::cmdre, Control::cmdpay};

}  // namespace

std::span<const Control> controls_on(Screen screen) {
    switch (screen) {
        case Screen::street: return kStreetControls;
        case Screen::floor: return kFloorControls;
        case Screen::pawnshop: return kPawnshopControls;
    }
    return {};
}

ListVoice voice_of(Control list) {
    if (list == Control::List1) return {"твои вещи", "Enter — заложить"};
    return {"заложенные вещи", "Enter — выкупить"};
}

std::string menu_label(MenuItem m, std::string_view caption) {
    std::string label(caption);
    const std::string_view key = spec_of(m).shortcut_text;
    if (!key.empty()) label.append("\t").append(key);
    return label;
}

const MenuItemSpec& spec_of(MenuItem m) { return kMenuItems[static_cast<std::size_t>(m)]; }


}  // namespace casino
