// The game's window on a web page: creation from the control and menu tables, the page's
// events turned into Events, the keyboard focus, and the port calls.
#include "main_window.h"

#include <emscripten/emscripten.h>

#include <string>

#include "caption_font.h"
#include "css_pixels.h"
#include "cue_player.h"
#include "input_box.h"

namespace casino::web {
namespace {

// The page knows the controls and menu items by the game's own numbers.
int control_id(Control c) { return static_cast<int>(c); }
int menu_id(MenuItem m) { return static_cast<int>(m); }

std::string css_colour(const Rgb& rgb) {
    return "rgb(" + std::to_string(rgb.r) + ", " + std::to_string(rgb.g) + ", " +
           std::to_string(rgb.b) + ")";
}

}  // namespace

MainWindow* MainWindow::page_window_ = nullptr;

MainWindow::MainWindow(Draws& draws, GameState& state) : form_(*this, draws, state) {
    page_window_ = this;
    create_window();
    create_menus();
    create_controls();
    dispatch(Event::load());
}

MainWindow::~MainWindow() {
    if (page_window_ == this) page_window_ = nullptr;
}

// ---- Creation ----

void MainWindow::create_window() {
    casino_page_open_window(std::string(kWindow.caption).c_str(), css_pixels(kWindow.client_width),
                            css_pixels(kWindow.client_height),
                            css_colour(kWindow.background).c_str());
}

void MainWindow::create_menus() {
    for (std::size_t menu = 0; menu < kMenus.size(); ++menu) {
        const MenuSpec& bar_menu = kMenus[menu];
        const int index = static_cast<int>(menu);
        casino_page_add_menu(index, std::string(bar_menu.caption).c_str());
        for (int i = 0; i < bar_menu.item_count; ++i) {
            const MenuItemSpec& item =
                kMenuItems[static_cast<std::size_t>(bar_menu.first_item + i)];
            casino_page_add_menu_item(index, menu_id(item.id),
                                      menu_label(item.id, item.caption).c_str());
        }
    }
}

// The controls go onto the page in their tab order, which is the order the keyboard and a
// screen reader walk them; the pairs that overlap are never shown together.
void MainWindow::create_controls() {
    casino_page_set_caption_font(caption_font_size());
    for (const Control c : tab_order()) {
        const ControlSpec& row = spec_of(c);
        if (row.kind == ControlKind::ListBox) {
            lists_[slot(c)].emplace(row, voice_of(c));
        } else {
            casino_page_add_button(control_id(c), std::string(row.name).c_str(),
                                   std::string(row.caption).c_str(), css_pixels(row.left),
                                   css_pixels(row.top), css_pixels(row.width),
                                   css_pixels(row.height));
        }
        casino_page_set_control(control_id(c), row.visible, row.enabled);
    }
}

// ---- The keyboard focus ----

void MainWindow::dispatch(const Event& event) {
    const Outcome outcome = form_.handle(event);
    if (outcome.focus) set_focus(*outcome.focus);
}

Keyboard MainWindow::keyboard() {
    const int focused = casino_page_focused_control();
    if (focused < 0 || focused >= kControlCount) return std::nullopt;
    return static_cast<Control>(focused);
}

GameList& MainWindow::list_box(Control list) { return *lists_[slot(list)]; }

// ---- The page's events ----

// The page sends the buttons' clicks; a click in a list only moves its highlight, which the
// page does itself.
void MainWindow::OnClick(Control c) { dispatch(Event::click(c, keyboard())); }

void MainWindow::OnMenu(MenuItem m) { dispatch(Event::menu_item(m, keyboard())); }

void MainWindow::OnListKey(Control list, int code) {
    if (!is_list(list)) return;
    dispatch(Event::key_press(list, code, list_box(list).highlight(), keyboard()));
}

// ---- Port: controls ----

void MainWindow::set_shown(Control c, bool shown) {
    casino_page_set_control(control_id(c), shown, shown);
}

void MainWindow::set_focus(Control c) { casino_page_focus(control_id(c)); }

void MainWindow::set_menu_caption(MenuItem item, std::string_view caption) {
    casino_page_set_menu_label(menu_id(item), menu_label(item, caption).c_str());
}

void MainWindow::list_add(Control list, std::string_view text) { list_box(list).append(text); }

void MainWindow::list_remove(Control list, int index) { list_box(list).remove(index); }

void MainWindow::list_clear(Control list) { list_box(list).clear(); }

void MainWindow::set_list_highlight(Control list, int index) {
    list_box(list).set_highlight(index);
}

// ---- Port: boxes, sound, clock, exit ----

void MainWindow::message(std::string_view text) {
    casino_page_message(std::string(kAppTitle).c_str(), std::string(text).c_str());
}

std::string MainWindow::ask_text(std::string_view prompt) {
    return web::ask_text(kAppTitle, prompt);
}

void MainWindow::play(Cue cue) { play_cue(cue); }

double MainWindow::time_of_day() { return casino_page_time_of_day(); }

// The window leaves the page, as the desktop's window goes away; a reload starts a new game.
void MainWindow::quit() {
    if (quitting_) return;
    quitting_ = true;
    casino_page_close_window();
}

}  // namespace casino::web

// ---- The entry points the page calls, one event at a time ----
// The page passes the table's own ids; anything else is no control of ours.

using casino::web::MainWindow;

extern "C" {

EMSCRIPTEN_KEEPALIVE void casino_on_click(int control) {
    if (MainWindow::page_window_ == nullptr || control < 0 || control >= casino::kControlCount)
        return;
    MainWindow::page_window_->OnClick(static_cast<casino::Control>(control));
}

EMSCRIPTEN_KEEPALIVE void casino_on_menu(int item) {
    if (MainWindow::page_window_ == nullptr || item < 0 || item >= casino::kMenuItemCount) return;
    MainWindow::page_window_->OnMenu(static_cast<casino::MenuItem>(item));
}

EMSCRIPTEN_KEEPALIVE void casino_on_list_key(int list, int code) {
    if (MainWindow::page_window_ == nullptr || list < 0 || list >= casino::kControlCount) return;
    MainWindow::page_window_->OnListKey(static_cast<casino::Control>(list), code);
}

}  // extern "C"
