// The game's window on a web page: built from the control and menu tables, it turns the
// page's events into the game's events and carries out what the game asks of it.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "core/draws.h"
#include "core/form1.h"
#include "core/port.h"
#include "game_list.h"
#include "page.h"

namespace casino::web {

class MainWindow final : public Port {
   public:
    // Builds the window on the page and runs the load step, which names the control that
    // takes the keyboard. There is one window on a page; the page's events go to it.
    // The game draws from `draws` and keeps its state in `state`; both outlive the window.
    MainWindow(Draws& draws, GameState& state);
    ~MainWindow() override;
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // ---- Port ----
    void set_shown(Control c, bool shown) override;
    void set_focus(Control c) override;
    void set_menu_caption(MenuItem item, std::string_view caption) override;
    void list_add(Control list, std::string_view text) override;
    void list_remove(Control list, int index) override;
    void list_clear(Control list) override;
    void set_list_highlight(Control list, int index) override;
    void message(std::string_view text) override;
    std::string ask_text(std::string_view prompt) override;
    void play(Cue cue) override;
    double time_of_day() override;
    void quit() override;

   private:
    // The page's events arrive through these entry points, which hand them to the window.
    friend void ::casino_on_click(int control);
    friend void ::casino_on_menu(int item);
    friend void ::casino_on_list_key(int list, int code);

    static std::size_t slot(Control c) { return static_cast<std::size_t>(c); }

    void create_window();
    void create_menus();
    void create_controls();

    // Runs one Event through the game and gives the keyboard where the game says.
    void dispatch(const Event& event);
    // The control that holds the keyboard, or held it before a box or a menu took it.
    [[nodiscard]] static Keyboard keyboard();
    GameList& list_box(Control list);

    void OnClick(Control c);
    void OnMenu(MenuItem m);
    void OnListKey(Control list, int code);

    static MainWindow* page_window_;

    std::array<std::optional<GameList>, kControlCount> lists_;
    bool quitting_ = false;
    Form1 form_;
};

}  // namespace casino::web
