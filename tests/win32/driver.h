// Drives a running casino.exe from another process, through window messages only, and
// reads what the accessibility layer publishes of it.
#pragma once

#include <windows.h>

#include <array>
#include <chrono>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "core/controls.h"
#include "input_box.h"
#include "menu_query.h"
#include "text.h"

namespace casino::automation {

// ---- Checks ----

// A fault after which the scenario cannot go on (a hang, a missing window).
struct Fatal : std::runtime_error {
    using std::runtime_error::runtime_error;
};

class Checks {
   public:
    bool check(bool ok, std::string_view what, std::string_view detail = {});
    void require(bool ok, std::string_view what, std::string_view detail = {});
    [[nodiscard]] int passed() const { return passed_; }
    [[nodiscard]] int failed() const { return failed_; }

   private:
    int passed_ = 0;
    int failed_ = 0;
};
extern Checks checks;
extern bool verbose;  // print every box as it comes

// Polls until the predicate holds or the time is up.
template <class Predicate>
bool wait_until(Predicate holds, int timeout_ms = 5000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    while (!holds()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

// How an input box is answered.
enum class Submit { OkButton, EnterKey, CancelButton, EscapeKey };

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

// Where the driver puts the game's window before a walk.
enum class Placement { AsOpened, TopLeft, Middle };

// ---- The game under test ----

class Game {
   public:
    // stderr_file: where the game's standard error goes; empty leaves it as it is.
    explicit Game(const std::wstring& exe, const std::wstring& stderr_file = {});
    ~Game();
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    [[nodiscard]] HWND window() const { return window_; }
    [[nodiscard]] HWND control(Control c) const { return controls_[static_cast<std::size_t>(c)]; }
    [[nodiscard]] bool visible(Control c) const { return IsWindowVisible(control(c)) != FALSE; }
    [[nodiscard]] bool enabled(Control c) const { return IsWindowEnabled(control(c)) != FALSE; }
    [[nodiscard]] bool shown(Control c) const { return visible(c) && enabled(c); }
    [[nodiscard]] RECT rect(Control c) const;  // in the window's client coordinates
    [[nodiscard]] HWND focus() const;
    // Whether a button wears the default button's border.
    [[nodiscard]] bool looks_default(Control c) const;
    // The work area of the screen the window is on.
    [[nodiscard]] RECT work_area() const;
    // Moves the window to the work area's top-left corner or its middle.
    void move_to(Placement where);

    // ---- Input, posted as the window system would deliver it ----
    void click(Control c);
    void key(HWND target, WPARAM virtual_key);
    void key_on_focus(WPARAM virtual_key) {
        key(focus() != nullptr ? focus() : window_, virtual_key);
    }
    void character(HWND target, wchar_t ch);
    void alt_f4();
    void system_close();
    void menu_command(std::string_view caption);

    // ---- Reading ----
    // A menu item's text and command id; item kMenuTitleItem is the menu's own title.
    [[nodiscard]] std::pair<std::string, UINT> menu_item(int menu, int item) const;
    [[nodiscard]] std::string menu_text(int menu, int item) const {
        return menu_item(menu, item).first;
    }
    [[nodiscard]] std::string menu_title(int menu) const {
        return menu_item(menu, win32::kMenuTitleItem).first;
    }
    [[nodiscard]] std::vector<std::string> list_items(Control list) const;
    [[nodiscard]] int list_highlight(Control list) const;
    [[nodiscard]] int list_line_height(Control list) const;

    // Tells the window that it now stands on a screen of another dpi, as the system does
    // when it is dragged to another monitor, suggesting a new frame.
    void change_dpi(int dpi, const RECT& suggested);

    // ---- Boxes ----
    // Waits for the game's next box; none when the time runs out.
    std::optional<Box> next_box(int timeout_ms = 5000);
    // The next box must be a message; returns its text and closes it with OK.
    std::string expect_message(std::string_view context);
    // The next box must be an input box with this prompt; types the answer and submits it.
    void answer(std::string_view prompt, std::string_view text, Submit how = Submit::OkButton);
    void close_box(const Box& box, int command);
    void type_into(const Box& box, std::string_view text);
    // Fails unless the game has finished the current action without opening a box.
    void expect_idle(std::string_view context);
    // The balance from the money menu command (F3).
    int balance();

    // Waits for the process to end; returns its exit code.
    DWORD wait_exit(int timeout_ms);

    // ---- The process, for the monkey runs ----
    // The exit code once the process has ended; nothing while it runs.
    [[nodiscard]] std::optional<DWORD> exit_code() const;
    // Whether the window answers a sent message within the time.
    [[nodiscard]] bool answers(int timeout_ms) const;
    // The game's box open now, if any.
    [[nodiscard]] std::optional<Box> open_box() const { return find_box(); }
    // User and kernel time the process has used, in milliseconds.
    [[nodiscard]] double cpu_ms() const;

   private:
    void sync();
    void check_box_placement(HWND box) const;
    std::optional<Box> find_box() const;
    void find_controls();

    PROCESS_INFORMATION process_{};
    HWND window_ = nullptr;
    std::array<HWND, kControlCount> controls_{};
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

// UTF-8 (the game's texts) to and from UTF-16 (the Win32 API's), as the game converts.
using win32::narrow;
using win32::widen;
std::string window_text(HWND hwnd);
int screen_dpi();
// None when the window publishes no accessible object.
std::optional<Spoken> spoken(HWND hwnd);

}  // namespace casino::automation
