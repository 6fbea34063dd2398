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
#include "x11/game_window.h"

namespace {

using namespace casino;
using Clock = std::chrono::steady_clock;

constexpr std::chrono::milliseconds kWait(5000);

void sleep_ms(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

struct Failure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The display, with the waits that fail this program when the game does not get there.
class XSession {
   public:
    // A shown top-level window with exactly this title, waited for.
    XWindow wait_for(std::string_view title, std::chrono::milliseconds within = kWait) {
        const XWindow found = x_.wait_for(title, within);
        if (found == 0) throw Failure("no window titled " + std::string(title));
        return found;
    }

    // Waits until this window has left the screen; the game's next box may already be there.
    void wait_gone(XWindow w) {
        if (!x_.wait_gone(w, kWait)) throw Failure("a box stays on the screen");
    }

    void click(XWindow window, Control c) {
        const auto [x, y] = x11::centre_of(x_.rect(window), c);
        x_.click(x, y);
    }

    // The pointer rests inside the window: with no window manager the keyboard follows it.
    void point_into(XWindow w) {
        const auto [x, y] = x11::resting_point(x_.rect(w));
        x_.move(x, y);
    }

    void key(const char* name) { x_.key(name); }
    void request_close(XWindow w) { x_.request_close(w); }

   private:
    x11::XDisplay x_;
};

// The observer's log, read line by line as the game writes it.
class BoxLog {
   public:
    explicit BoxLog(std::string path) : path_(std::move(path)) {}

    // The next line, waited for.
    std::string next() {
        const auto until = Clock::now() + kWait;
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
XWindow open_greeting(XSession& x, XWindow window, BoxLog& log) {
    x.point_into(window);
    x.key("Return");
    const std::string box = log.next_box();
    if (box != "message у тебя 60 баксов.") throw Failure("Enter on вход showed [" + box + "]");
    return x.wait_for(kBoxTitle);
}

// Answers the message boxes of bets on red until one asks for the stake; starts over when
// the fortune events leave too little to play with.
void open_input_box(XSession& x, XWindow window, BoxLog& log) {
    const XWindow greeting = open_greeting(x, window, log);
    x.point_into(greeting);
    x.key("Return");
    log.wait_closed();
    x.wait_gone(greeting);
    for (int bets = 0; bets < 10; ++bets) {
        x.click(window, Control::cmdred);
        for (;;) {
            const std::string box = log.next_box();
            const XWindow shown = x.wait_for(kBoxTitle);
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
            std::printf("%lu\n", x.wait_for(argv[2], std::chrono::seconds(std::atoi(argv[3]))));
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
        const XWindow window = x.wait_for(kTitle);
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
