// Drives a running casino.exe from another process, through window messages only, and
// reads what the window and the accessibility layer show of it.
#pragma once

#include <windows.h>

#include <map>
#include <optional>
#include <stdexcept>
#include <string>

#include "core/controls.h"
#include "text.h"
#include "window_parts.h"

namespace casino::automation {

using win32::narrow, win32::widen;

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
    bool held = false;
    while (!(held = holds()) && GetTickCount64() <= end) Sleep(5);
    return held;
}

// A window's text, asked of the window itself: GetWindowText would not ask another
// process's edit field.
std::string text_of(HWND hwnd);
RECT work_area(HWND hwnd);
// Where a frame the size of `frame` stands centred over `over` as far as `within` allows.
POINT centred(const RECT& frame, const RECT& over, const RECT& within);

// What the platform's accessibility layer (oleacc) publishes for a window's client area:
// what a screen reader reads there. A window that publishes nothing is a finding about
// `what`.
// Its role is a ROLE_SYSTEM_ value, its state STATE_SYSTEM_ bits.
struct Spoken {
    long role = 0, state = 0;
    std::string name, value;
};
Spoken spoken(HWND hwnd, const std::string& what);

// What the system's own message box writes on its button IDOK or IDCANCEL, in the
// language of this process (the same as the game's).
const std::string& system_caption(int button);

// A message box or an input box of the game, as found on the screen.
struct Box {
    HWND hwnd = nullptr;
    bool input = false;  // an input box has an edit field
    std::string text;    // the message, or the input box's prompt
};

// Where the game's window is put once it has opened.
enum class Placement { AsOpened, TopLeft, Middle };

class Game {
   public:
    explicit Game(const std::wstring& exe);
    ~Game();
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    HWND window() const { return window_; }
    DWORD process() const { return process_.dwProcessId; }
    HWND control(Control c) const { return GetDlgItem(window_, win32::control_id(c)); }
    bool shown(Control c) const {
        return IsWindowVisible(control(c)) && IsWindowEnabled(control(c));
    }
    // Whether the button holding the keyboard, and no other, wears the default button's
    // border: Enter or Space acts on it.
    bool default_look_follows_keyboard() const;
    // The window of the game that holds the keyboard, and the one that is active.
    HWND focus() const { return thread_info().hwndFocus; }
    HWND active() const { return thread_info().hwndActive; }
    void move_to(Placement where);

    // Input, posted as the window system would deliver it; a key without a target goes
    // where the keyboard is, or to the window when no control holds it.
    void mouse_click(HWND target, POINT at, bool twice = false) const;
    void key(HWND target, WPARAM virtual_key, bool alt = false) const;

    // Every menu item's label as the menu shows it (caption, tab, key), and a menu's title.
    std::map<MenuItem, std::string> menu_labels() const;
    std::string menu_title(int menu) const;

    // Tells the window that it now stands on a screen of another dpi, as the system does
    // when it is dragged to another monitor, suggesting a new frame.
    void change_dpi(int dpi, const RECT& suggested);

    // The game's box open now, if any, once it is shown.
    std::optional<Box> open_box() const;
    // Whether the game has taken every input posted and sent so far (it is idle, or a box
    // of its is open), within the time; false when it did not answer or has ended.
    bool drain(int timeout_ms) const;
    std::optional<DWORD> exit_code() const;

   private:
    GUITHREADINFO thread_info() const;
    // Fails unless the game answers a sent message.
    void sync() const;

    PROCESS_INFORMATION process_{};
    HWND window_ = nullptr;
    std::wstring marker_;  // the first menu's title, the answer drain() waits for
};

// The static control of the system's message box that holds its text.
inline constexpr int kMessageTextId = 0xFFFF;

}  // namespace casino::automation
