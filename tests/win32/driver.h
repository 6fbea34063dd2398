// Drives a running casino.exe from another process, through window messages only, and
// reads what the window and the accessibility layer show of it.
#pragma once

#include <windows.h>

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/controls.h"
#include "text.h"

namespace casino::automation {

using win32::narrow;
using win32::widen;

// Something the program did wrong, or a step that could not be made; the run stops there.
struct Finding : std::runtime_error {
    using std::runtime_error::runtime_error;
};

inline void expect(bool ok, const std::string& what) {
    if (!ok) throw Finding(what);
}

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
// what a screen reader reads there. None when the window publishes nothing.
struct Spoken {
    long role = 0;  // ROLE_SYSTEM_...
    std::string name;
    std::string value;
    long state = 0;  // STATE_SYSTEM_... bits
};
std::optional<Spoken> spoken(HWND hwnd);

// Where the game's window is put once it has opened.
enum class Placement { AsOpened, TopLeft, Middle };

class Game {
   public:
    // stderr_file: where the game's standard error goes; empty leaves it as it is.
    Game(const std::wstring& exe, const std::wstring& stderr_file);
    ~Game();
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    [[nodiscard]] HWND window() const { return window_; }
    [[nodiscard]] DWORD process() const { return process_.dwProcessId; }
    [[nodiscard]] HWND control(Control c) const;
    [[nodiscard]] bool shown(Control c) const {
        return IsWindowVisible(control(c)) != FALSE && IsWindowEnabled(control(c)) != FALSE;
    }
    // Whether the button holding the keyboard, and no other, wears the default button's
    // border: Enter or Space acts on it.
    [[nodiscard]] bool default_look_follows_keyboard() const;
    // The window of the game that holds the keyboard, and the one that is active.
    [[nodiscard]] HWND focus() const { return thread_info().hwndFocus; }
    [[nodiscard]] HWND active() const { return thread_info().hwndActive; }
    [[nodiscard]] RECT work_area() const;
    void move_to(Placement where);

    // Input, posted as the window system would deliver it.
    void mouse_click(HWND target, POINT at, bool twice = false) const;
    void key(HWND target, WPARAM virtual_key, bool alt = false) const;

    // A menu item's label as the menu shows it (caption, tab, key), or a menu's title.
    [[nodiscard]] std::string menu_label(MenuItem item) const;
    [[nodiscard]] std::string menu_title(int menu) const;
    [[nodiscard]] std::vector<std::string> list_items(Control list) const;
    [[nodiscard]] int list_highlight(Control list) const {
        return static_cast<int>(SendMessageW(control(list), LB_GETCURSEL, 0, 0));
    }
    // What an edit field of the game holds: GetWindowText would not ask another
    // process's field.
    [[nodiscard]] std::string field_text(HWND edit) const;

    // Tells the window that it now stands on a screen of another dpi, as the system does
    // when it is dragged to another monitor, suggesting a new frame.
    void change_dpi(int dpi, const RECT& suggested);

    // The game's box open now, if any, once it is shown.
    [[nodiscard]] std::optional<Box> open_box() const;
    // Whether the game has taken every input posted and sent so far (it is idle, or a box
    // of its is open), within the time; false when it did not answer or has ended.
    [[nodiscard]] bool drain(int timeout_ms) const;
    [[nodiscard]] std::optional<DWORD> exit_code() const;

   private:
    [[nodiscard]] GUITHREADINFO thread_info() const;
    // Fails unless the game answers a sent message.
    void sync() const;

    PROCESS_INFORMATION process_{};
    HWND window_ = nullptr;
    std::wstring marker_;  // the first menu's title, the answer drain() waits for
};

// What the system's own message box writes on its OK and Cancel buttons, in the language
// of this process (the same as the game's).
struct ButtonCaptions {
    std::string ok;
    std::string cancel;
};
const ButtonCaptions& system_box_captions();

std::string window_text(HWND hwnd);
std::string class_name(HWND hwnd);
int screen_dpi();

// The static control of the system's message box that holds its text.
inline constexpr int kMessageTextId = 0xFFFF;

}  // namespace casino::automation
