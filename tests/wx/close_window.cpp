// close_window: plays the real program with real X input up to a given moment, then asks its
// main window to close, as a window manager does for the close box or Alt+F4, or as another
// program or the taskbar does. Exits 0 once the request is sent, 1 when the game did not get
// there in time.
//   close_window WHEN [BOXES_LOG]
//     started  the window has opened and settled
//     message  Enter on "вход" has opened the greeting box
//     ask      a bet's input box is open
//   close_window find TITLE SECONDS
//     waits that long for a shown window with that title and prints its id, closing nothing
// For the last two the game runs with the monkey's observer preloaded; BOXES_LOG is its log,
// from which the boxes the game opens are known.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <string>
#include <thread>

#include "core/controls.h"

// After the game's headers, and without two of X's macros, whose names the game's tables use.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#undef None
#undef KeyPress

namespace {

using namespace casino;
using Clock = std::chrono::steady_clock;

constexpr int kWaitMs = 5000;

void sleep_ms(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

struct Failure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

class XSession {
   public:
    XSession() : display_(XOpenDisplay(nullptr)) {
        if (display_ == nullptr) throw Failure("no display");
        // A box may be gone between finding it and looking at it; that is no fault.
        XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
        root_ = DefaultRootWindow(display_);
    }
    ~XSession() { XCloseDisplay(display_); }
    XSession(const XSession&) = delete;
    XSession& operator=(const XSession&) = delete;

    // A shown top-level window with exactly this title, waited for.
    Window wait_for(std::string_view title, int wait_ms = kWaitMs) {
        const auto until = Clock::now() + std::chrono::milliseconds(wait_ms);
        for (;;) {
            if (const Window found = find(title)) return found;
            if (Clock::now() > until) throw Failure("no window titled " + std::string(title));
            sleep_ms(20);
        }
    }

    // Waits until this window has left the screen; the game's next box may already be there.
    void wait_gone(Window w) {
        const auto until = Clock::now() + std::chrono::milliseconds(kWaitMs);
        for (;;) {
            XWindowAttributes a{};
            if (XGetWindowAttributes(display_, w, &a) == 0 || a.map_state != IsViewable) return;
            if (Clock::now() > until) throw Failure("a box stays on the screen");
            sleep_ms(20);
        }
    }

    // The client area's top left on the screen: the window's bottom part below the menu bar.
    std::pair<int, int> client_origin(Window w) {
        XWindowAttributes a{};
        XGetWindowAttributes(display_, w, &a);
        int x = 0, y = 0;
        Window child = 0;
        XTranslateCoordinates(display_, w, root_, 0, 0, &x, &y, &child);
        return {x, y + a.height - twips_to_pixels(kWindow.client_height, 96)};
    }

    // The pointer rests inside the window: with no window manager the keyboard follows it.
    void point_into(Window w) {
        XWindowAttributes a{};
        XGetWindowAttributes(display_, w, &a);
        int x = 0, y = 0;
        Window child = 0;
        XTranslateCoordinates(display_, w, root_, a.width - 3, a.height - 3, &x, &y, &child);
        move(x, y);
    }

    void move(int x, int y) {
        XTestFakeMotionEvent(display_, -1, x, y, CurrentTime);
        XSync(display_, False);
    }

    void click(int x, int y) {
        move(x, y);
        XTestFakeButtonEvent(display_, 1, True, CurrentTime);
        XTestFakeButtonEvent(display_, 1, False, CurrentTime);
        XSync(display_, False);
    }

    void key(const char* name) {
        const KeyCode code = XKeysymToKeycode(display_, XStringToKeysym(name));
        XTestFakeKeyEvent(display_, code, True, CurrentTime);
        XTestFakeKeyEvent(display_, code, False, CurrentTime);
        XSync(display_, False);
    }

    void request_close(Window w) {
        XEvent close{};
        close.xclient.type = ClientMessage;
        close.xclient.window = w;
        close.xclient.message_type = XInternAtom(display_, "WM_PROTOCOLS", False);
        close.xclient.format = 32;
        close.xclient.data.l[0] =
            static_cast<long>(XInternAtom(display_, "WM_DELETE_WINDOW", False));
        close.xclient.data.l[1] = CurrentTime;
        XSendEvent(display_, w, False, NoEventMask, &close);
        XSync(display_, False);
    }

   private:
    Window find(std::string_view title) {
        Window root = 0, parent = 0, *children = nullptr;
        unsigned count = 0;
        if (XQueryTree(display_, root_, &root, &parent, &children, &count) == 0) return 0;
        Window found = 0;
        for (unsigned i = 0; i < count && found == 0; ++i) {
            XWindowAttributes a{};
            if (XGetWindowAttributes(display_, children[i], &a) && a.map_state == IsViewable &&
                title_of(children[i]) == title) {
                found = children[i];
            }
        }
        if (children != nullptr) XFree(children);
        return found;
    }

    std::string title_of(Window w) {
        Atom type = 0;
        int format = 0;
        unsigned long count = 0, left = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(display_, w, XInternAtom(display_, "_NET_WM_NAME", False), 0, 1024,
                               False, XInternAtom(display_, "UTF8_STRING", False), &type, &format,
                               &count, &left, &data) != Success ||
            data == nullptr) {
            return {};
        }
        std::string title(reinterpret_cast<char*>(data), count);
        XFree(data);
        return title;
    }

    Display* display_;
    Window root_ = 0;
};

// The observer's log, read line by line as the game writes it.
class BoxLog {
   public:
    explicit BoxLog(std::string path) : path_(std::move(path)) {}

    // The next line, waited for.
    std::string next() {
        const auto until = Clock::now() + std::chrono::milliseconds(kWaitMs);
        for (;;) {
            if (!in_.is_open()) in_.open(path_);
            std::string line;
            const auto at = in_.tellg();
            if (in_.is_open() && std::getline(in_, line) && !in_.eof()) return line;
            // A line not yet complete is read again next time.
            in_.clear();
            if (at != std::streampos(-1)) in_.seekg(at);
            if (Clock::now() > until) throw Failure("the game opened no further box");
            sleep_ms(10);
        }
    }

    // The next box the game opens: its line in the log, "message ..." or "ask ...".
    std::string next_box() {
        for (;;) {
            std::string line = next();
            if (line.starts_with("message ") || line.starts_with("ask ")) return line;
        }
    }

    void wait_closed() {
        while (next() != "closed") {
        }
    }

   private:
    std::string path_;
    std::ifstream in_;
};

const std::string kTitle(kWindow.caption);
const std::string kBoxTitle(kAppTitle);

// Enter on the focused "вход": the greeting box opens, shown on the screen.
Window open_greeting(XSession& x, Window window, BoxLog& log) {
    x.point_into(window);
    x.key("Return");
    const std::string box = log.next_box();
    if (box != "message у тебя 60 баксов.") throw Failure("Enter on вход showed [" + box + "]");
    return x.wait_for(kBoxTitle);
}

// Answers the message boxes of bets on red until one asks for the stake; starts over when
// the fortune events leave too little to play with.
void open_input_box(XSession& x, Window window, BoxLog& log) {
    const Window greeting = open_greeting(x, window, log);
    x.point_into(greeting);
    x.key("Return");
    log.wait_closed();
    x.wait_gone(greeting);
    const ControlSpec& red = spec_of(Control::cmdred);
    for (int bets = 0; bets < 10; ++bets) {
        const auto [left, top] = x.client_origin(window);
        x.click(left + twips_to_pixels(red.left + red.width / 2, 96),
                top + twips_to_pixels(red.top + red.height / 2, 96));
        for (;;) {
            const std::string box = log.next_box();
            const Window shown = x.wait_for(kBoxTitle);
            if (box.starts_with("ask ")) return;
            x.point_into(shown);
            x.key("Return");
            log.wait_closed();
            x.wait_gone(shown);
            if (box == "message тебе не на что играть.") {
                x.point_into(window);
                x.key("F2");
                break;
            }
        }
    }
    throw Failure("ten bets on red asked for no stake");
}

}  // namespace

int main(int argc, char** argv) {
    const std::string when = argc >= 2 ? argv[1] : "";
    if (when == "find" && argc == 4) {
        try {
            XSession x;
            std::printf("%lu\n", x.wait_for(argv[2], std::atoi(argv[3]) * 1000));
            return 0;
        } catch (const Failure& failure) {
            std::fprintf(stderr, "close_window find: %s\n", failure.what());
            return 1;
        }
    }
    if (!(when == "started" && argc == 2) && !((when == "message" || when == "ask") && argc == 3)) {
        std::fprintf(stderr, "usage: close_window started | message BOXES_LOG | ask BOXES_LOG | find TITLE SECONDS\n");
        return 2;
    }
    try {
        XSession x;
        const Window window = x.wait_for(kTitle);
        if (when == "started") {
            // Let the program finish starting up, as a player would.
            sleep_ms(700);
        } else {
            BoxLog log(argv[2]);
            if (when == "message") open_greeting(x, window, log);
            if (when == "ask") open_input_box(x, window, log);
            // The box has taken the keyboard and the mouse once it is on the screen; a moment
            // more and it has drawn itself, as a player would see it.
            sleep_ms(300);
        }
        x.request_close(window);
    } catch (const Failure& failure) {
        std::fprintf(stderr, "close_window %s: %s\n", when.c_str(), failure.what());
        return 1;
    }
    return 0;
}
