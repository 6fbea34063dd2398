// Drives a running casino.exe from another process, through window messages only, and
// reads what the window and the accessibility layer show of it.
#pragma once

#include <windows.h>

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "core/controls.h"
#include "text.h"

namespace casino::automation {

using win32::narrow;
using win32::widen;

// A fault after which the run cannot go on (a hang, a missing window).
struct Fatal : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The checks made so far; each failure is kept for the report.
class Checks {
   public:
    bool check(bool ok, std::string_view what, std::string_view detail = {});
    void require(bool ok, std::string_view what, std::string_view detail = {});
    [[nodiscard]] int passed() const { return passed_; }
    [[nodiscard]] const std::vector<std::string>& failures() const { return failures_; }

   private:
    int passed_ = 0;
    std::vector<std::string> failures_;
};
extern Checks checks;

// Polls until the predicate holds or the time is up. The time is the system's tick count,
// which the game's fixed clock leaves running.
template <class Predicate>
bool wait_until(Predicate holds, int timeout_ms = 5000) {
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(timeout_ms);
    while (!holds()) {
        if (GetTickCount64() > end) return false;
        Sleep(5);
    }
    return true;
}

// A message box or an input box of the game, as found on the screen.
struct Box {
    HWND hwnd = nullptr;
    bool input = false;  // an input box has an edit field
    std::string text;    // the message, or the input box's prompt
};

// What the platform's accessibility layer (oleacc) publishes for a window's client area:
// what a screen reader reads there.
struct Spoken {
    long role = 0;  // ROLE_SYSTEM_...
    std::string name;
    std::string value;
    long state = 0;  // STATE_SYSTEM_... bits
};

// Where the driver puts the game's window.
enum class Placement { AsOpened, TopLeft, Middle };

// The static control of the system's message box that holds its text.
inline constexpr int kMessageTextId = 0xFFFF;

class Game {
   public:
    // stderr_file: where the game's standard error goes; empty leaves it as it is.
    explicit Game(const std::wstring& exe, const std::wstring& stderr_file = {});
    ~Game();
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    [[nodiscard]] HWND window() const { return window_; }
    [[nodiscard]] HWND control(Control c) const;
    [[nodiscard]] std::optional<Control> control_of(HWND hwnd) const;
    [[nodiscard]] bool visible(Control c) const { return IsWindowVisible(control(c)) != FALSE; }
    [[nodiscard]] bool enabled(Control c) const { return IsWindowEnabled(control(c)) != FALSE; }
    [[nodiscard]] bool shown(Control c) const { return visible(c) && enabled(c); }
    [[nodiscard]] RECT rect(Control c) const;  // in the window's client coordinates
    [[nodiscard]] HWND focus() const;
    // Whether a button wears the default button's border.
    [[nodiscard]] bool looks_default(Control c) const;
    [[nodiscard]] RECT work_area() const;
    void move_to(Placement where);

    // ---- Input, posted as the window system would deliver it ----
    void click(Control c) const { PostMessageW(control(c), BM_CLICK, 0, 0); }
    void mouse_click(HWND target, POINT at, bool twice = false) const;
    void key(HWND target, WPARAM virtual_key) const;
    void character(HWND target, wchar_t ch) const { PostMessageW(target, WM_CHAR, ch, 1); }
    void alt_f4() const;
    void system_close() const { PostMessageW(window_, WM_SYSCOMMAND, SC_CLOSE, 0); }
    // What a click on the menu item sends.
    void choose(MenuItem item) const;

    // ---- Reading ----
    // A menu item's label as the menu shows it (caption, tab, shortcut), or a menu's title.
    [[nodiscard]] std::string menu_label(MenuItem item) const;
    [[nodiscard]] std::string menu_title(int menu) const;
    [[nodiscard]] std::vector<std::string> list_items(Control list) const;
    [[nodiscard]] int list_highlight(Control list) const;
    [[nodiscard]] int list_line_height(Control list) const;
    // What an edit field of the game holds.
    [[nodiscard]] std::string field_text(HWND edit) const;

    // Tells the window that it now stands on a screen of another dpi, as the system does
    // when it is dragged to another monitor, suggesting a new frame.
    void change_dpi(int dpi, const RECT& suggested);

    // ---- Boxes and progress ----
    // The game's box open now, if any, once it is shown.
    [[nodiscard]] std::optional<Box> open_box() const;
    void close_box(const Box& box, int command);
    // Whether the game has taken every input posted and sent so far (it is idle, or a box
    // of its is open), within the time; false when it did not answer or has ended.
    bool drain(int timeout_ms) const;

    // ---- The process ----
    [[nodiscard]] std::optional<DWORD> exit_code() const;
    DWORD wait_exit(int timeout_ms) const;

   private:
    // Fails unless the game answers a sent message.
    void sync() const;

    PROCESS_INFORMATION process_{};
    HWND window_ = nullptr;
    std::wstring marker_;  // the first menu's title, the answer drain() waits for
};

// Counts the windows a game's process creates from now on, as the accessibility layer
// tells of them: a box that opens and closes between two looks at the screen counts too.
class WindowsCreated {
   public:
    explicit WindowsCreated(HWND game_window);
    ~WindowsCreated();
    WindowsCreated(const WindowsCreated&) = delete;
    WindowsCreated& operator=(const WindowsCreated&) = delete;

    // The count so far; the news comes as messages to the thread that made this.
    int count();

   private:
    HWINEVENTHOOK hook_ = nullptr;
};

// What the system's own message box writes on its OK and Cancel buttons, in the language
// of this process (the same as the game's).
struct ButtonCaptions {
    std::string ok;
    std::string cancel;
};
const ButtonCaptions& system_box_captions();

std::string window_text(HWND hwnd);
int screen_dpi();
// None when the window publishes no accessible object.
std::optional<Spoken> spoken(HWND hwnd);

}  // namespace casino::automation
