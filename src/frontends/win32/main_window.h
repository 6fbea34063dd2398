// The game's one window, built with plain Win32 calls: the port through which the core
// shows controls, boxes and sounds, and the place where window messages become Events.
#pragma once

#include <windows.h>

#include <array>
#include <optional>
#include <string>

#include "core/form1.h"
#include "core/port.h"

namespace casino::win32 {

// Child window ids: the controls in creation order, then the menu items in table order.
inline constexpr int kFirstControlId = 100;
inline constexpr int kFirstMenuId = 200;

// A registered window message through which another process reads a menu item: wParam
// is MAKEWPARAM(menu, item), item 0xFFFF naming the menu's own title; the answer is
// MAKELRESULT(a global atom holding the text, the item's command id), and the caller
// deletes the atom. Wine keeps menus inside their process, so GetMenuItemInfoW from the
// automation tests cannot read them directly.
inline constexpr wchar_t kMenuQueryMessage[] = L"casino.menu_item";

class MainWindow final : public Port {
   public:
    explicit MainWindow(HINSTANCE instance);
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
    void play_wav(std::string_view path) override;
    double time_of_day() override;
    void quit() override;

   private:
    static LRESULT CALLBACK window_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);
    static LRESULT CALLBACK list_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam,
                                      UINT_PTR id, DWORD_PTR self);
    LRESULT handle_message(UINT msg, WPARAM wparam, LPARAM lparam);

    // Runs one Event through the game, then settles the keyboard focus.
    void dispatch(const Event& event);

    void on_command(int id);
    void on_close();
    void on_activate(WPARAM wparam);
    void on_set_focus();
    void on_dpi_changed(int dpi, const RECT& suggested);
    LRESULT on_menu_query(WPARAM wparam) const;

    void create_controls();
    void layout_controls();
    [[nodiscard]] HFONT control_font(const ControlSpec& entry) const;
    void apply_tab_order();
    void create_menu();
    void create_accelerators();
    void create_fonts();
    void fit_client_area();
    void focus_first_tab_stop();
    void release_focus(Control c);
    void settle_focus();
    void mark_default_button();
    bool press_focused_button(const MSG& msg);

    [[nodiscard]] HWND control(Control c) const { return controls_[static_cast<std::size_t>(c)]; }
    [[nodiscard]] std::optional<Control> control_of(HWND hwnd) const;
    [[nodiscard]] bool usable(Control c) const;
    [[nodiscard]] int pixels(int twips) const;

    HINSTANCE instance_;
    HWND hwnd_ = nullptr;
    HMENU menu_ = nullptr;
    HACCEL accelerators_ = nullptr;
    HBRUSH background_ = nullptr;
    HFONT list_font_ = nullptr;    // the system's message font at the window's dpi
    HFONT button_font_ = nullptr;  // the same, made small enough for the tightest caption
    int dpi_ = USER_DEFAULT_SCREEN_DPI;
    std::string program_folder_;  // the folder of casino.exe, the installed cues' home
    UINT menu_query_ = 0;
    std::array<HWND, kControlCount> controls_{};
    HWND saved_focus_ = nullptr;  // the control that had the focus when the window went inactive
    // A control that was hidden while it held the keyboard, during the Event being handled.
    std::optional<Control> focus_lost_;
    int handlers_running_ = 0;  // more than one while a close runs inside another's box
    Form1 form_;
};

}  // namespace casino::win32
