// The game's one window, built with plain Win32 calls from the control and menu tables:
// it turns window messages into the game's Events and carries out what the game asks of
// it through the port.
#pragma once

#include <windows.h>

#include <array>
#include <memory>
#include <optional>
#include <string>

#include "core/draws.h"
#include "core/form1.h"
#include "core/port.h"
#include "game_list.h"

namespace casino::win32 {

class MainWindow final : public Port {
   public:
    // The game draws from `draws` and keeps its state in `state`; both outlive the window.
    MainWindow(HINSTANCE instance, Draws& draws, GameState& state);
    ~MainWindow() override;
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Creates the window and its controls, runs the load step, then shows the window.
    bool create(int show_command);
    // Runs the message loop until the game quits; returns the process exit code.
    int run();

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
    static std::size_t slot(Control c) { return static_cast<std::size_t>(c); }

    void create_controls();
    void create_fonts();
    void layout_controls();
    void apply_tab_order();

    // Runs one Event through the game and gives the keyboard where the game says.
    void dispatch(const Event& event);
    void mark_default_button();
    bool press_focused_button(const MSG& msg);
    // The control that holds the keyboard, or held it before a box took the activation.
    [[nodiscard]] Keyboard keyboard() const;
    [[nodiscard]] std::optional<Control> control_of(HWND hwnd) const;
    [[nodiscard]] HWND control(Control c) const { return controls_[slot(c)]; }
    [[nodiscard]] GameList& list_box(Control list) const { return *lists_[slot(list)]; }
    [[nodiscard]] HFONT control_font(const ControlSpec& entry) const;

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);
    LRESULT HandleMessage(UINT msg, WPARAM wparam, LPARAM lparam);
    void OnClick(Control c);
    void OnMenu(MenuItem m);
    void OnListKey(Control list, int code);
    void OnClose();
    void OnActivate(WPARAM wparam);
    void OnSetFocus();
    void OnDpiChanged(int dpi, const RECT& suggested);
    LRESULT OnMenuQuery(WPARAM wparam) const;

    HINSTANCE instance_;
    HWND hwnd_ = nullptr;
    HMENU menu_ = nullptr;
    HACCEL accelerators_ = nullptr;
    HBRUSH background_ = nullptr;
    HFONT list_font_ = nullptr;    // the system's message font at the window's dpi
    HFONT button_font_ = nullptr;  // the same, made small enough for the tightest caption
    int dpi_ = USER_DEFAULT_SCREEN_DPI;
    std::string data_dir_;  // the folder of casino.exe, the installed cues' home
    UINT menu_query_ = 0;
    std::array<HWND, kControlCount> controls_{};
    std::array<std::unique_ptr<GameList>, kControlCount> lists_{};  // none for the buttons
    HWND saved_focus_ = nullptr;  // the control that had the focus when the window went inactive
    int boxes_open_ = 0;          // the game's boxes on the screen, each waiting for the player
    Form1 form_;
};

}  // namespace casino::win32
