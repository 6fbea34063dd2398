// x_transport: the monkey's transport for the Linux program (tests/support/monkey.h tells
// the lines it reads and writes).
//   x_transport CASINO OBSERVER SEED [--blocked-sound MS]
// Runs CASINO (from the folder that holds sound/) with its clock fixed by libfaketime and the
// observer library preloaded, and performs each line with real X input through XTest: a
// click on the control's place, Enter or a character typed in a list, the highlight moved
// with the arrow keys, a menu item by its shortcut or through the menu bar, a close as a
// window manager asks for it. Every box the game opens is answered as a player would, with
// the queued answers typed or pasted (and OK clicked), unless the window is to be closed
// under it. What the game showed (boxes, cues, captions) and what its window shows (the
// controls shown and enabled, both lists and their highlight, the control with the
// keyboard, for "show") come back from the observer's log. The ways of doing the same
// thing take turns, from a start that SEED picks. With --blocked-sound the game's sound
// device never takes a sound, and a handler must still reach its box or its end within MS.
// Findings: the game ended with a status other than 0, wrote on standard error, did not
// answer a ping within 2 s, used the processor while idle, a close did not end it within
// 2 s, a box did not appear or did not close, or an input box gave back other than what was
// typed. (That the game ended where it should not shows as a "quit" the replay does not.)
#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <random>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "core/controls.h"
#include "core/event.h"
#include "support/names.h"
#include "x11/game_window.h"
#include "x11/process_time.h"

namespace {

using namespace casino;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr auto kAnswer = 2000ms;    // what a program must answer within
constexpr auto kStartUp = 20s;      // the window's first appearance
constexpr std::chrono::milliseconds kLongest = 12s;  // a handler with its cue (10 s at most)
const char* const kFaketime = "/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1";

void sleep_ms(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

struct Finding : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The day the clock stands on does not matter to the game; its time of day does.
std::string timestamp(long seconds) {
    char text[96];
    std::snprintf(text, sizeof text, "2026-12-07 %02ld:%02ld:%02ld\n", seconds / 3600,
                  seconds / 60 % 60, seconds % 60);
    return text;
}

// A line of control names ("visible cmdexit ...") with the names in the control table's
// order, as the replay tool prints them; the observer gives them in the window's.
std::string in_table_order(const std::string& line) {
    std::istringstream words(line);
    std::string kind;
    std::set<std::string, std::less<>> names;
    words >> kind;
    for (std::string name; words >> name;) names.insert(name);
    for (const ControlSpec& row : kControls) {
        if (names.contains(row.name)) kind.append(" ").append(row.name);
    }
    return kind;
}

std::string describe(int status) {
    if (WIFSIGNALED(status)) return "signal " + std::to_string(WTERMSIG(status));
    return "exit code " + std::to_string(WEXITSTATUS(status));
}

class Transport {
   public:
    Transport(std::string casino, std::string observer, unsigned seed,
              std::optional<std::chrono::milliseconds> blocked_sound)
        : casino_(std::move(casino)),
          observer_(std::move(observer)),
          longest_(blocked_sound.value_or(kLongest)) {
        std::mt19937 rng(seed);
        for (unsigned& turn : turns_) turn = rng() % 12;
        char folder[] = "/tmp/x_transport.XXXXXX";
        if (mkdtemp(folder) == nullptr) throw std::runtime_error("no temporary folder");
        folder_ = folder;
        set_clock(43200);
        // A home of the game's own, whose sound device takes every cue at once and keeps
        // nothing: the sound system then reads each cue's file, which the observer sees. A
        // blocked device writes into a pipe that nobody reads, so that opening it never ends.
        std::filesystem::create_directory(folder_ + "/home");
        std::string device = "/dev/null";
        if (blocked_sound) {
            device = folder_ + "/blocked";
            if (mkfifo(device.c_str(), 0600) != 0) throw std::runtime_error("no pipe");
        }
        std::ofstream(folder_ + "/home/.asoundrc")
            << "pcm.!default {\n  type file\n  slave.pcm \"null\"\n  file \"" << device
            << "\"\n  format \"raw\"\n}\n";
    }
    ~Transport() {
        stop();
        std::filesystem::remove_all(folder_);
    }
    Transport(const Transport&) = delete;
    Transport& operator=(const Transport&) = delete;

    int run() {
        std::cout << "observes message ask cue caption quit visible enabled List1 List2 keyboard\n"
                     "ready"
                  << std::endl;
        std::string line;
        try {
            while (std::getline(std::cin, line)) {
                if (line == "stop") break;
                out_.clear();
                perform(line);
                for (const std::string& shown : out_) std::cout << shown << '\n';
                std::cout << "ready" << std::endl;
            }
        } catch (const Finding& finding) {
            std::cout << "finding " << finding.what() << std::endl;
            return 1;
        }
        return 0;
    }

   private:
    // The ways of doing one thing, which take turns so that a script meets each of them.
    enum Choice { kPressFocused, kMenu, kHighlight, kCloseBox, kAnswerBox, kChoices };
    int way(Choice choice, int ways) { return static_cast<int>(turns_[choice]++ % ways); }

    // ---- The lines ----

    void perform(const std::string& line) {
        if (line == "type" || line.starts_with("type ")) {
            answers_.push_back(line.size() > 5 ? line.substr(5) : "");
            return;
        }
        if (line.starts_with("clock ")) return set_clock(std::stol(line.substr(6)));
        if (line == "start") return start();
        if (pid_ == 0) throw Finding("asked to '" + line + "' with no game running");
        if (line == "close") return close();
        if (line == "close in message" || line == "close in ask") {
            close_in_ = line.substr(9);
            return;
        }
        if (line == "show") {
            if (!wait_idle()) return;
            out_.insert(out_.end(), screen_.begin(), screen_.end());
            return photograph();
        }
        char name[64] = {};
        int number = 0;
        if (std::sscanf(line.c_str(), "click %63s", name) == 1) {
            click(name);
        } else if (std::sscanf(line.c_str(), "key %63s %d", name, &number) == 2) {
            focus_list(name);
            press_code(number);
        } else if (std::sscanf(line.c_str(), "highlight %63s %d", name, &number) == 2) {
            // A double-click on the list only moves the highlight, to the entry in its line.
            if (way(kHighlight, 2) == 0) {
                const auto [x, y] = centre_of(*casino::testing::control_named(name));
                x_.click(x, y);
                x_.click(x, y);
                wait_idle();
            }
            focus_list(name);
            x_.key("Home");
            for (int i = 0; i < number; ++i) x_.key("Down");
            // The monkey asks only for an entry the game's list has: the arrows must reach it.
            const int& shown = highlights_[std::string_view(name) == "List1" ? 0 : 1];
            if (wait_idle() && shown != number) {
                throw Finding(line + ": the list highlights entry " + std::to_string(shown) +
                              " (does it show fewer entries?)");
            }
        } else if (line.starts_with("menu ")) {
            const auto m = casino::testing::menu_item_named(line.substr(5));
            if (!m) throw Finding("no menu item " + line.substr(5));
            choose(*m);
        } else {
            throw Finding("cannot perform '" + line + "'");
        }
        settle();
        check_health();
    }

    void set_clock(long seconds) {
        const std::string file = folder_ + "/clock";
        std::ofstream(file + ".part") << timestamp(seconds);
        std::filesystem::rename(file + ".part", file);
    }

    std::pair<int, int> centre_of(Control c) { return x11::centre_of(x_.rect(window_), c); }

    // A click with the mouse; on the control that holds the keyboard, also Enter or space.
    void click(const char* name) {
        const auto c = casino::testing::control_named(name);
        if (!c) throw Finding("no control named " + std::string(name));
        const int press = focus_ == name ? way(kPressFocused, 3) : 0;
        if (press == 0) {
            const auto [x, y] = centre_of(*c);
            x_.click(x, y);
            return;
        }
        rest_pointer();
        x_.key(press == 1 ? "Return" : "space");
    }

    // The game gives an open list the keyboard. When it does not have it, a click on the
    // list's one line does, and highlights the entry the line shows.
    void focus_list(const char* name) {
        const auto c = casino::testing::control_named(name);
        if (!c || !is_list(*c)) throw Finding(std::string("no list named ") + name);
        if (focus_ == name) return;
        const auto [x, y] = centre_of(*c);
        x_.click(x, y);
        wait_idle();
    }

    void press_code(int code) {
        if (code == kEnterKey) {
            x_.key("Return");
        } else if (code >= 0x20 && code < 0x7f) {
            x_.type(std::string(1, static_cast<char>(code)));
        } else {
            throw Finding("cannot type the character code " + std::to_string(code));
        }
    }

    // By its shortcut, or through the menu bar from the keyboard: F10 opens the first menu,
    // the arrows walk to the item, Enter takes it.
    void choose(MenuItem m) {
        rest_pointer();
        const MenuItemSpec& item = spec_of(m);
        if (!item.shortcut_text.empty() && way(kMenu, 3) != 0) {
            x_.key(item.shortcut_text);
            return;
        }
        const auto index = static_cast<int>(m);
        int menu = 0;
        while (index >= kMenus[static_cast<std::size_t>(menu)].first_item +
                            kMenus[static_cast<std::size_t>(menu)].item_count) {
            ++menu;
        }
        x_.key("F10");
        wait_idle();
        for (int i = 0; i < menu; ++i) x_.key("Right");
        for (int i = kMenus[static_cast<std::size_t>(menu)].first_item; i <= index; ++i) {
            x_.key("Down");
        }
        wait_idle();
        x_.key("Return");
    }

    // ---- The program ----

    void start() {
        stop();
        answers_.clear();
        const std::string log = folder_ + "/boxes.log";
        const std::string errors = folder_ + "/stderr.txt";
        std::ofstream(log, std::ios::trunc).flush();
        log_.close();
        log_.clear();
        log_.open(log);
        watching_ = false;
        box_.reset();
        pid_ = fork();
        if (pid_ == 0) {
            prctl(PR_SET_PDEATHSIG, SIGKILL);  // the game never outlives its transport
            ::close(x_.connection());
            const int fd = open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            dup2(fd, 2);
            setenv("TZ", "UTC", 1);
            setenv("HOME", (folder_ + "/home").c_str(), 1);
            setenv("FAKETIME_TIMESTAMP_FILE", (folder_ + "/clock").c_str(), 1);
            setenv("FAKETIME_NO_CACHE", "1", 1);
            setenv("FAKETIME_DONT_FAKE_MONOTONIC", "1", 1);
            setenv("LD_PRELOAD", (std::string(kFaketime) + " " + observer_).c_str(), 1);
            setenv("CASINO_MONKEY_LOG", log.c_str(), 1);
            execl(casino_.c_str(), casino_.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        const auto until = Clock::now() + kStartUp;
        while (!watching_) {
            if (Clock::now() > until) throw Finding("the game's window did not open within 20 s");
            read_log();
            if (ended()) throw Finding("the game ended as it started");
            sleep_ms(20);
        }
        window_ = x_.wait_for(kWindow.caption, kStartUp, pid_);
        if (window_ == 0) throw Finding("the game's window did not appear on the screen");
        if (!x_.ping(window_, 5s)) throw Finding("the new window does not answer");
        rest_pointer();
        settle();
        check_health();
    }

    // With CASINO_SCREENSHOTS naming a folder, the window is photographed the first time
    // it shows each of its screens (the pawnshop with the wardrobe open), for the README.
    void photograph() {
        const char* folder = std::getenv("CASINO_SCREENSHOTS");
        if (folder == nullptr || *folder == '\0') return;
        const std::string& shown = screen_[0];
        const char* name = shown.ends_with(" cmdexit")        ? "street"
                           : shown.find(" List1 ") != std::string::npos ? "pawnshop"
                           : shown.find(" cmdred ") != std::string::npos ? "floor"
                                                                         : nullptr;
        if (name == nullptr || !photographed_.insert(name).second) return;
        const x11::Rect r = x_.rect(window_);
        const std::string command = "import -window root -crop " + std::to_string(r.width) +
                                    "x" + std::to_string(r.height) + "+" + std::to_string(r.x) +
                                    "+" + std::to_string(r.y) + " " + folder + "/linux-" + name +
                                    ".png";
        if (std::system(command.c_str()) != 0) throw Finding("cannot photograph: " + command);
    }

    void rest_pointer() {
        const auto [x, y] = x11::resting_point(x_.rect(window_));
        x_.move(x, y);
    }

    void stop() {
        if (pid_ == 0) return;
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
        pid_ = 0;
    }

    void close() {
        x_.request_close(window_);
        const auto until = Clock::now() + kAnswer;
        while (!ended()) {
            if (Clock::now() > until)
                throw Finding("the window was closed but the game still runs after 2 s");
            sleep_ms(10);
        }
    }

    // Whether the game has ended; it must have ended cleanly, and it then has quit.
    bool ended() {
        int status = 0;
        if (pid_ == 0) return true;
        if (waitpid(pid_, &status, WNOHANG) != pid_) return false;
        pid_ = 0;
        read_log();
        check_stderr();
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
            throw Finding("the game ended with " + describe(status));
        out_.push_back("quit");
        return true;
    }

    void check_stderr() {
        std::ifstream in(folder_ + "/stderr.txt");
        std::string first;
        if (std::getline(in, first)) throw Finding("the game wrote on standard error: " + first);
    }

    void check_health() {
        if (pid_ == 0) return;
        if (!x_.ping(window_, kAnswer)) {
            if (ended()) return;
            throw Finding("the game did not answer a ping within 2 s");
        }
        check_stderr();
        if (++actions_ % 10 == 0) {
            const double before = x11::cpu_ms_of(pid_);
            sleep_ms(300);
            const double used = x11::cpu_ms_of(pid_) - before;
            if (used > 150)
                throw Finding("the game used " + std::to_string(static_cast<int>(used)) +
                              " ms of processor time in 300 ms idle");
        }
    }

    // ---- What the game said ----

    struct Box {
        bool ask = false;
        std::string text;
        int tries = 0;
        // An input box's text field and its OK button, in the box.
        x11::Rect field{};
        x11::Rect ok{};
    };

    // Until the game is idle, answering every box it opens; or until it has ended.
    void settle() {
        for (;;) {
            if (!wait_idle()) return;
            if (!box_) return;
            const int closed = boxes_closed_;
            answer_box();
            // Enter reaches the box's default button a turn of its loop later, after a mark
            // sent at once has come back: the box is given that long before it is tried again.
            for (const auto until = Clock::now() + kAnswer;
                 boxes_closed_ == closed && Clock::now() < until && !ended();) {
                read_log();
                sleep_ms(5);
            }
        }
    }

    // Sends a mark and reads the log until the observer has seen it: then the game has run
    // everything the input so far caused, up to a box it waits in. False when it ended.
    bool wait_idle() {
        const long mark = ++marks_;
        mark_seen_ = 0;
        x_.send(window_, "CASINO_MONKEY_MARK", mark);
        const auto until = Clock::now() + longest_;
        while (mark_seen_ != mark) {
            if (ended()) return false;
            if (Clock::now() > until) {
                if (!x_.ping(window_, kAnswer))
                    throw Finding("the game did not answer a ping within 2 s");
                throw Finding("the game did not finish handling the input within " +
                              std::to_string(longest_.count()) + " ms");
            }
            read_log();
            if (mark_seen_ != mark) sleep_ms(2);
        }
        return true;
    }

    // Reads the lines the observer has written since the last call.
    void read_log() {
        std::string line;
        while (log_.is_open()) {
            const auto at = log_.tellg();
            if (!std::getline(log_, line) || log_.eof()) {
                // A line not yet complete is read again next time.
                log_.clear();
                log_.seekg(at);
                return;
            }
            take(line);
        }
    }

    void take(const std::string& line) {
        if (std::getenv("X_TRANSPORT_TRACE")) std::cerr << "log: " << line << std::endl;
        int index = 0;
        x11::Rect place;
        if (line == "watching") {
            watching_ = true;
        } else if (line.starts_with("mark ")) {
            mark_seen_ = std::stol(line.substr(5));
        } else if (line.starts_with("visible") || line.starts_with("enabled")) {
            screen_[line[0] == 'v' ? 0 : 1] = in_table_order(line);
        } else if (line.starts_with("List1 ") || line.starts_with("List2 ")) {
            const std::size_t list = line[4] == '1' ? 0 : 1;
            screen_[2 + list] = line;
            highlights_[list] = std::stoi(line.substr(line.rfind('=') + 1));
        } else if (line.starts_with("keyboard")) {
            screen_[4] = line;
            focus_ = line.size() > 9 ? line.substr(9) : "";
        } else if (line.starts_with("cue ")) {
            out_.push_back(line);
        } else if (line.starts_with("message ") || line.starts_with("ask ")) {
            if (box_) throw Finding("a box opened over the box [" + box_->text + "]");
            const bool ask = line.starts_with("ask ");
            box_ = Box{ask, line.substr(ask ? 4 : 8)};
            out_.push_back(line);
        } else if (std::sscanf(line.c_str(), "field %d %d %d %d", &place.x, &place.y,
                               &place.width, &place.height) == 4) {
            if (box_) box_->field = place;
        } else if (std::sscanf(line.c_str(), "ok %d %d %d %d", &place.x, &place.y,
                               &place.width, &place.height) == 4) {
            if (box_) box_->ok = place;
        } else if (line.starts_with("answer ") || line == "answer") {
            const std::string got = line.size() > 7 ? line.substr(7) : "";
            if (got != typed_)
                throw Finding("the input box gave [" + got + "] for [" + typed_ + "]");
        } else if (line == "closed") {
            box_.reset();
            ++boxes_closed_;
        } else if (std::sscanf(line.c_str(), "caption %d", &index) == 1 && index >= 0 &&
                   index < kMenuItemCount) {
            const auto space = line.find(' ', 8);
            out_.push_back("caption " + std::string(name_of(static_cast<MenuItem>(index))) +
                           " " + (space == std::string::npos ? "" : line.substr(space + 1)));
        } else {
            throw Finding("the observer saw something unexpected: " + line);
        }
    }

    void answer_box() {
        Box& box = *box_;
        if (++box.tries > 3) throw Finding("the box [" + box.text + "] does not close");
        const XWindow shown = x_.wait_for(kAppTitle, kAnswer, pid_);
        if (shown == 0) {
            if (!wait_idle() || !box_) return;
            throw Finding("the box [" + box.text + "] did not appear on the screen");
        }
        const x11::Rect r = x_.rect(shown);
        // The keyboard follows the pointer into the box.
        x_.move(r.x + r.width / 2, r.y + r.height / 2);
        if (!wait_idle() || !box_) return;
        if (close_in_ == (box.ask ? "ask" : "message")) {
            close_in_.clear();
            return close();
        }
        if (box.ask && box.tries == 1) {
            typed_.clear();
            if (!answers_.empty()) {
                typed_ = answers_.front();
                answers_.pop_front();
            }
            if (!typed_.empty()) {
                // A click in the field, then a long text is pasted, a short one typed; Enter or
                // OK takes it.
                x_.click(r.x + box.field.x + box.field.width / 2,
                         r.y + box.field.y + box.field.height / 2);
                if (typed_.size() > 100) {
                    x_.paste(typed_, kAnswer);
                } else {
                    x_.type(typed_);
                }
                if (!wait_idle() || !box_) return;
                if (way(kAnswerBox, 2) == 0) {
                    x_.key("Return");
                } else {
                    x_.click(r.x + box.ok.x + box.ok.width / 2, r.y + box.ok.y + box.ok.height / 2);
                }
                return;
            }
        }
        // An empty answer, or a message: Escape, the close box, Enter or space all close it.
        switch (box.tries > 1 ? 0 : way(kCloseBox, box.ask ? 3 : 4)) {
            case 0: x_.key("Escape"); break;
            case 1: x_.request_close(shown); break;
            case 2: x_.key("Return"); break;
            default: x_.key("space"); break;
        }
    }

    std::string casino_;
    std::string observer_;
    std::chrono::milliseconds longest_;
    unsigned turns_[kChoices] = {};
    std::string folder_;
    x11::XDisplay x_;
    pid_t pid_ = 0;
    XWindow window_ = 0;
    std::ifstream log_;
    bool watching_ = false;
    long marks_ = 0;
    long mark_seen_ = 0;
    // As of the last mark: List1's and List2's highlight, and the control with the keyboard.
    int highlights_[2] = {-1, -1};
    std::string focus_;
    // The window as of the last mark: "visible", "enabled", "List1", "List2", "keyboard".
    std::array<std::string, 5> screen_;
    std::string close_in_;  // "message" or "ask": the next such box is left open, the window closed
    std::set<std::string, std::less<>> photographed_;
    std::optional<Box> box_;
    int boxes_closed_ = 0;
    std::deque<std::string> answers_;
    std::string typed_;  // what the open input box was given
    std::vector<std::string> out_;
    int actions_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
    const bool blocked = argc == 6 && std::string_view(argv[4]) == "--blocked-sound";
    if (argc != 4 && !blocked) {
        std::fprintf(stderr, "usage: x_transport CASINO OBSERVER SEED [--blocked-sound MS]\n");
        return 2;
    }
    try {
        std::optional<std::chrono::milliseconds> blocked_sound;
        if (blocked) blocked_sound = std::chrono::milliseconds(std::stol(argv[5]));
        return Transport(argv[1], argv[2], static_cast<unsigned>(std::stoul(argv[3])),
                         blocked_sound)
            .run();
    } catch (const std::exception& e) {
        std::cout << "finding x_transport: " << e.what() << std::endl;
        return 2;
    }
}
