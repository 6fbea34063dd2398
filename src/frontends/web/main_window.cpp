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

int id_of(Control c) { return static_cast<int>(c); }
int id_of(MenuItem m) { return static_cast<int>(m); }

std::string css_colour(const Rgb& rgb) {
    return "rgb(" + std::to_string(rgb.r) + ", " + std::to_string(rgb.g) + ", " +
           std::to_string(rgb.b) + ")";
}

}  // namespace

MainWindow* MainWindow::page_window_ = nullptr;

MainWindow::MainWindow(Draws& draws, TableState& table) : form_(*this, draws, table) {
    page_window_ = this;
    create_window();
    create_menus();
    create_controls();
    dispatch(Event::load());
    focus_first_control();
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
            casino_page_add_menu_item(index, id_of(item.id),
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
            casino_page_add_button(id_of(c), std::string(row.name).c_str(),
                                   std::string(row.caption).c_str(), css_pixels(row.left),
                                   css_pixels(row.top), css_pixels(row.width),
                                   css_pixels(row.height));
        }
        casino_page_set_control(id_of(c), row.visible, row.enabled);
    }
}

// The first control in the tab order that can take the focus gets it: on the street
// that is "вход", since "число" before it is hidden.
void MainWindow::focus_first_control() {
    const std::optional<Control> first =
        next_in_tab_order(tab_order().back(), [this](Control c) { return usable(c); });
    if (first) set_focus(*first);
}

// ---- The keyboard focus ----

void MainWindow::dispatch(const Event& event) {
    form_.handle(event);
    settle_focus();
}

// A control hidden while it held the keyboard hands it to the next shown control after
// it in the tab order, wrapping round. That is decided when the handler has finished,
// once the next screen stands: a handler may hide the old screen before it shows the new.
void MainWindow::settle_focus() {
    if (!focus_lost_ || quitting_) return;
    const std::optional<Control> next =
        next_in_tab_order(*focus_lost_, [this](Control c) { return usable(c); });
    focus_lost_.reset();
    if (next) set_focus(*next);
}

bool MainWindow::usable(Control c) const { return casino_page_usable(id_of(c)) != 0; }

GameList& MainWindow::list_box(Control list) { return *lists_[slot(list)]; }

// ---- The page's events ----

void MainWindow::OnClick(Control c) {
    // A click in a list only moves its highlight, which the page does itself.
    if (!is_list(c)) dispatch(Event::click(c));
}

void MainWindow::OnMenu(MenuItem m) { dispatch(Event::menu_item(m)); }

void MainWindow::OnListKey(Control list, int code) {
    if (is_list(list)) dispatch(Event::key_press(list, code, list_box(list).highlight()));
}

// ---- Port: controls ----

void MainWindow::set_shown(Control c, bool shown) {
    if (!shown && !focus_lost_ && casino_page_focused_control() == id_of(c)) focus_lost_ = c;
    casino_page_set_control(id_of(c), shown, shown);
}

// Where the game puts the focus itself, it stays.
void MainWindow::set_focus(Control c) {
    focus_lost_.reset();
    casino_page_focus(id_of(c));
}

void MainWindow::set_menu_caption(MenuItem item, std::string_view caption) {
    casino_page_set_menu_label(id_of(item), menu_label(item, caption).c_str());
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

void MainWindow::play_wav(std::string_view path) { play_cue(path); }

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
