// Prints the window's tables from the core as JSON, for the web tests: the window's caption,
// the boxes' title, the controls in creation order with their captions (what a screen reader
// calls a list, for the lists) and the menus with their items, by the game's own names, in
// the order the window builds them.
#include <cstdio>
#include <string>
#include <string_view>

#include "core/controls.h"

namespace {

using namespace casino;

std::string quoted(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '\t') {
            out += "\\t";
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string control_json(const ControlSpec& row) {
    const bool list = row.kind == ControlKind::ListBox;
    const std::string_view caption = list ? voice_of(row.id).name : row.caption;
    return "{\"name\": " + quoted(row.name) + ", \"role\": " +
           quoted(list ? "listbox" : "button") + ", \"caption\": " + quoted(caption) + "}";
}

std::string menu_json(const MenuSpec& menu) {
    std::string items;
    for (int i = 0; i < menu.item_count; ++i) {
        const MenuItemSpec& item = kMenuItems[static_cast<std::size_t>(menu.first_item + i)];
        if (i > 0) items += ", ";
        items += "{\"name\": " + quoted(item.name) + ", \"label\": " +
                 quoted(menu_label(item.id, item.caption)) + "}";
    }
    return "{\"caption\": " + quoted(menu.caption) + ", \"items\": [" + items + "]}";
}

}  // namespace

int main() {
    std::string controls;
    for (const ControlSpec& row : kControls) {
        if (!controls.empty()) controls += ",\n    ";
        controls += control_json(row);
    }
    std::string menus;
    for (const MenuSpec& menu : kMenus) {
        if (!menus.empty()) menus += ",\n    ";
        menus += menu_json(menu);
    }
    std::printf("{\n  \"title\": %s,\n  \"boxTitle\": %s,\n  \"controls\": [\n    %s],\n"
                "  \"menus\": [\n    %s]\n}\n",
                quoted(kWindow.caption).c_str(), quoted(kAppTitle).c_str(), controls.c_str(),
                menus.c_str());
    return 0;
}
