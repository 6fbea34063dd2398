// The X display as the programs that drive the real Linux window see it: top-level windows
// found by title or by process, real input through the XTest extension, and the close a
// window manager sends. One connection; not for use from several threads.
#pragma once

#include <X11/Xlib.h>
#include <sys/types.h>

#include <chrono>
#include <map>
#include <string>
#include <string_view>
#include <utility>

namespace casino::x11 {

class XDisplay {
   public:
    // Opens $DISPLAY; throws std::runtime_error when there is none or it has no XTest.
    XDisplay();
    ~XDisplay();
    XDisplay(const XDisplay&) = delete;
    XDisplay& operator=(const XDisplay&) = delete;

    // The connection's file descriptor, for a child that must not inherit it.
    [[nodiscard]] int connection() const;

    // ---- Windows ----
    // The newest shown top-level window with exactly this title (of this process, unless pid
    // is 0), waited for; 0 when none came in time.
    Window wait_for(std::string_view title, std::chrono::milliseconds within, pid_t pid = 0);
    // The first top-level window of this process mapped since the display was opened or
    // since the last call, as the X server announces it (no polling); 0 when none came.
    Window wait_mapped(pid_t pid, std::chrono::milliseconds within);

    // ---- Input ----
    void move(int x, int y);
    void click(int x, int y);
    // A key by its X name ("Return", "F3", "a"); nothing when the keyboard has none.
    void key(std::string_view name);
    // Printable ASCII, typed key by key; other characters are skipped.
    void type(std::string_view text);
    // Puts the text on the clipboard and pastes it with Ctrl+V, as a player pastes a long
    // text; returns once the focused program has fetched it, or after the time.
    void paste(std::string text, std::chrono::milliseconds within);

    // ---- What a window manager and other programs send ----
    // The close box: WM_DELETE_WINDOW.
    void request_close(Window w);

   private:
    unsigned long atom(std::string_view name);
    // Handles what has arrived: maps, clipboard requests.
    void pump();
    // A key's press and release, with the modifier key held down unless it is NoSymbol (0).
    void press(unsigned char code, unsigned long modifier = 0);
    pid_t pid_of(Window w);
    std::string title_of(Window w);

    Display* display_;
    Window root_ = 0;
    Window clipboard_owner_ = 0;
    std::string clipboard_text_;
    bool clipboard_served_ = false;
    std::multimap<pid_t, Window> mapped_;
    std::map<std::string, unsigned long, std::less<>> atoms_;
    std::map<char, std::pair<unsigned char, bool>> characters_;  // key code, shifted
};

}  // namespace casino::x11
