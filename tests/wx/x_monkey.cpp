// x_monkey: real X input for the monkey runs, through the XTest extension.
//   x_monkey wx CASINO OBSERVER SECONDS SEED
//       drives the Linux program with random keys, clicks, typed answers and closes for the
//       given time, restarting it whenever it has been closed. What the game said is read
//       from the log of the observer library preloaded into it.
//       With CASINO_MONKEY_SHOT=FILE set, a failing run saves a screenshot there.
//   x_monkey serve
//       performs the lines "XINPUT n click X Y" and "XINPUT n key NAME X Y" read on standard
//       input (from the Win32 automation's monkey), touching xinput-n.done after each, and
//       echoes every other line; for "XINPUT n cpu" it writes into that file the processor
//       time, in milliseconds, of casino.exe running in the same Wine prefix.
// After every step the game must run, or have ended with exit code 0 after a close; it
// must answer a window manager's ping within two seconds and not spin while idle; it must
// write nothing on standard error; and every balance must be what its boxes announced.
#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <random>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "core/controls.h"
#include "support/ledger.h"
#include "support/monkey.h"

// After the game's headers, and without two of X's macros, whose names the game's
// tables use.
#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#undef None
#undef KeyPress

namespace {

using namespace casino;
using Clock = std::chrono::steady_clock;

constexpr int kAnswerMs = 2000;
constexpr int kBalanceEvery = 8;
const std::string kTitle = "казино \"Пельтораг\"";
const std::string kBoxTitle = "казино";

void sleep_ms(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

using Finding = testing::MonkeyFinding;

// ---- The X display ----

struct Rect {
    int x = 0, y = 0, width = 0, height = 0;
};

class X {
   public:
    X() : display_(XOpenDisplay(nullptr)) {
        if (display_ == nullptr) throw std::runtime_error("no X display");
        // A box may close between finding it and sending it something; that is no fault.
        XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
        int event = 0, error = 0, major = 0, minor = 0;
        if (!XTestQueryExtension(display_, &event, &error, &major, &minor)) {
            throw std::runtime_error("the X server has no XTest");
        }
        root_ = DefaultRootWindow(display_);
        // A ping's answer goes to the root window, to whoever listens there.
        XSelectInput(display_, root_, SubstructureNotifyMask);
        map_characters();
    }
    ~X() { XCloseDisplay(display_); }
    X(const X&) = delete;
    X& operator=(const X&) = delete;

    // A mapped top-level window of the process with exactly this title.
    Window find(const std::string& title, pid_t pid) {
        Window root = 0, parent = 0, *children = nullptr;
        unsigned count = 0;
        Window found = 0;
        if (XQueryTree(display_, root_, &root, &parent, &children, &count) == 0) return 0;
        for (unsigned i = count; i-- > 0 && found == 0;) {
            XWindowAttributes a{};
            if (XGetWindowAttributes(display_, children[i], &a) && a.map_state == IsViewable &&
                title_of(children[i]) == title && pid_of(children[i]) == pid) {
                found = children[i];
            }
        }
        if (children != nullptr) XFree(children);
        return found;
    }

    Rect rect(Window w) {
        XWindowAttributes a{};
        if (XGetWindowAttributes(display_, w, &a) == 0) return {};
        int x = 0, y = 0;
        Window child = 0;
        XTranslateCoordinates(display_, w, root_, 0, 0, &x, &y, &child);
        return {x, y, a.width, a.height};
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
    // A key by its X name ("Return", "F3", "a").
    bool key(const std::string& name) {
        const KeySym sym = XStringToKeysym(name.c_str());
        const KeyCode code = sym == 0 ? 0 : XKeysymToKeycode(display_, sym);
        if (code == 0) return false;
        press(code, false);
        XSync(display_, False);
        return true;
    }
    // Printable ASCII, typed key by key.
    void type(const std::string& text) {
        for (const char c : text) {
            const auto found = characters_.find(c);
            if (found != characters_.end()) press(found->second.first, found->second.second);
        }
        XSync(display_, False);
    }

    // What a window manager sends for the close box.
    void request_close(Window w) {
        send_protocol(w, "WM_DELETE_WINDOW", CurrentTime);
        XSync(display_, False);
    }

    // A window manager's ping: the toolkit answers it from its main loop, so a window that
    // does not answer within the time is hung.
    bool ping(Window w, int timeout_ms) {
        const long stamp = ++pings_;
        send_protocol(w, "_NET_WM_PING", stamp);
        XFlush(display_);
        const auto end = Clock::now() + std::chrono::milliseconds(timeout_ms);
        while (Clock::now() < end) {
            while (XPending(display_) > 0) {
                XEvent reply{};
                XNextEvent(display_, &reply);
                if (reply.type == ClientMessage && reply.xclient.window == root_ &&
                    reply.xclient.data.l[1] == stamp) {
                    return true;
                }
                if (reply.type == SelectionRequest) give_clipboard(reply.xselectionrequest);
            }
            sleep_ms(2);
        }
        return false;
    }

    // Puts the text on the clipboard and pastes it with Ctrl+V, as a player pastes a long
    // text; the toolkit fetches it while the pings that follow wait.
    void paste(const std::string& text) {
        clipboard_text_ = text;
        if (clipboard_owner_ == 0) {
            clipboard_owner_ = XCreateSimpleWindow(display_, root_, 0, 0, 1, 1, 0, 0, 0);
        }
        XSetSelectionOwner(display_, atom("CLIPBOARD"), clipboard_owner_, CurrentTime);
        const KeyCode control = XKeysymToKeycode(display_, XK_Control_L);
        XTestFakeKeyEvent(display_, control, True, CurrentTime);
        key("v");
        XTestFakeKeyEvent(display_, control, False, CurrentTime);
        XSync(display_, False);
        served_ = false;
        const auto end = Clock::now() + std::chrono::milliseconds(kAnswerMs);
        while (!served_ && Clock::now() < end) {
            while (XPending(display_) > 0) {
                XEvent request{};
                XNextEvent(display_, &request);
                if (request.type == SelectionRequest) give_clipboard(request.xselectionrequest);
            }
            sleep_ms(2);
        }
    }

   private:
    Atom atom(const char* name) { return XInternAtom(display_, name, False); }

    // A WM_PROTOCOLS message, as a window manager sends them.
    void send_protocol(Window w, const char* protocol, long stamp) {
        XEvent e{};
        e.xclient.type = ClientMessage;
        e.xclient.window = w;
        e.xclient.message_type = atom("WM_PROTOCOLS");
        e.xclient.format = 32;
        e.xclient.data.l[0] = static_cast<long>(atom(protocol));
        e.xclient.data.l[1] = stamp;
        e.xclient.data.l[2] = static_cast<long>(w);
        XSendEvent(display_, w, False, NoEventMask, &e);
    }

    void give_clipboard(const XSelectionRequestEvent& request) {
        XEvent answer{};
        answer.xselection.type = SelectionNotify;
        answer.xselection.requestor = request.requestor;
        answer.xselection.selection = request.selection;
        answer.xselection.target = request.target;
        answer.xselection.time = request.time;
        answer.xselection.property = request.property;
        if (request.target == atom("TARGETS")) {
            const Atom targets[] = {atom("UTF8_STRING"), XA_STRING};
            XChangeProperty(display_, request.requestor, request.property, XA_ATOM, 32,
                            PropModeReplace, reinterpret_cast<const unsigned char*>(targets), 2);
        } else if (request.target == atom("UTF8_STRING") || request.target == XA_STRING) {
            XChangeProperty(display_, request.requestor, request.property, request.target, 8,
                            PropModeReplace,
                            reinterpret_cast<const unsigned char*>(clipboard_text_.data()),
                            static_cast<int>(clipboard_text_.size()));
            served_ = true;
        } else {
            answer.xselection.property = 0;
        }
        XSendEvent(display_, request.requestor, False, NoEventMask, &answer);
        XFlush(display_);
    }

    pid_t pid_of(Window w) {
        Atom type = 0;
        int format = 0;
        unsigned long count = 0, left = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(display_, w, atom("_NET_WM_PID"), 0, 1, False, XA_CARDINAL, &type,
                               &format, &count, &left, &data) != Success ||
            data == nullptr) {
            return 0;
        }
        const auto pid = static_cast<pid_t>(*reinterpret_cast<unsigned long*>(data));
        XFree(data);
        return pid;
    }

    std::string title_of(Window w) {
        Atom type = 0;
        int format = 0;
        unsigned long count = 0, left = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(display_, w, atom("_NET_WM_NAME"), 0, 1024, False,
                               atom("UTF8_STRING"), &type, &format, &count, &left,
                               &data) != Success ||
            data == nullptr) {
            return {};
        }
        std::string title(reinterpret_cast<char*>(data), count);
        XFree(data);
        return title;
    }

    void press(KeyCode code, bool shift) {
        const KeyCode shift_code = XKeysymToKeycode(display_, XK_Shift_L);
        if (shift) XTestFakeKeyEvent(display_, shift_code, True, CurrentTime);
        XTestFakeKeyEvent(display_, code, True, CurrentTime);
        XTestFakeKeyEvent(display_, code, False, CurrentTime);
        if (shift) XTestFakeKeyEvent(display_, shift_code, False, CurrentTime);
    }

    // Which key, shifted or not, types each printable character on this keyboard.
    void map_characters() {
        int low = 0, high = 0;
        XDisplayKeycodes(display_, &low, &high);
        for (int code = high; code >= low; --code) {
            for (const int level : {1, 0}) {
                const KeySym sym =
                    XkbKeycodeToKeysym(display_, static_cast<KeyCode>(code), 0, level);
                if (sym >= 0x20 && sym <= 0x7e) {
                    characters_[static_cast<char>(sym)] = {static_cast<KeyCode>(code), level == 1};
                }
            }
        }
    }

    Display* display_;
    Window root_ = 0;
    Window clipboard_owner_ = 0;
    std::string clipboard_text_;
    bool served_ = false;
    long pings_ = 0;
    std::map<char, std::pair<KeyCode, bool>> characters_;
};

// The processor time a process has used, in milliseconds, from /proc.
double cpu_ms_of(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), {});
    const auto close = text.rfind(')');
    if (close == std::string::npos) return 0;
    std::vector<std::string> fields;
    std::string field;
    for (std::size_t i = close + 2; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == ' ') {
            fields.push_back(field);
            field.clear();
        } else {
            field += text[i];
        }
    }
    if (fields.size() < 13) return 0;
    return (std::stod(fields[11]) + std::stod(fields[12])) * 1000.0 /
           static_cast<double>(sysconf(_SC_CLK_TCK));
}

// ---- Serving the Win32 monkey ----

// The processor time of the game's Wine process, told apart from others' by its name and
// its Wine prefix (ours): Wine cannot tell one Windows process the times of another.
double wine_cpu_ms() {
    const char* prefix = std::getenv("WINEPREFIX");
    const std::string wanted = "WINEPREFIX=" + std::string(prefix != nullptr ? prefix : "");
    double total = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        const std::string name = entry.path().filename();
        if (name.find_first_not_of("0123456789") != std::string::npos) continue;
        std::string comm;
        std::getline(std::ifstream(entry.path() / "comm"), comm);
        if (comm != "casino.exe") continue;
        std::ifstream environment(entry.path() / "environ");
        for (std::string variable; std::getline(environment, variable, '\0');) {
            if (variable == wanted) total += cpu_ms_of(std::stoi(name));
        }
    }
    return total;
}

int serve() {
    X x;
    std::string line;
    while (std::getline(std::cin, line)) {
        if (line.ends_with('\r')) line.pop_back();  // a Windows program's line end
        if (!line.starts_with("XINPUT ")) {
            std::cout << line << std::endl;
            continue;
        }
        char verb[16] = {};
        char name[32] = {};
        int n = 0, px = 0, py = 0;
        std::string answer;
        if (std::sscanf(line.c_str(), "XINPUT %d click %d %d", &n, &px, &py) == 3) {
            x.click(px, py);
        } else if (line.ends_with(" cpu") && std::sscanf(line.c_str(), "XINPUT %d", &n) == 1) {
            answer = std::to_string(wine_cpu_ms());
        } else if (std::sscanf(line.c_str(), "XINPUT %d %15s %31s %d %d", &n, verb, name, &px,
                               &py) == 5) {
            if (px != 0 || py != 0) x.move(px, py);
            x.key(name);
        }
        // Written whole before it gets the name the other side waits for.
        const std::string done = "xinput-" + std::to_string(n) + ".done";
        std::ofstream(done + ".part") << answer << '\n';
        std::filesystem::rename(done + ".part", done);
    }
    return 0;
}

// ---- Driving the Linux program ----

struct KeyName {
    const char* x_name;
    std::optional<MenuItem> menu;  // the menu item the key stands for
};
const KeyName kKeys[] = {
    {"Tab", {}},
    {"Left", {}},
    {"Right", {}},
    {"Up", {}},
    {"Down", {}},
    {"Escape", {}},
    {"Return", {}},
    {"space", {}},
    {"a", {}},
    {"x", {}},
    {"5", {}},
    {"0", {}},
    {"F1", MenuItem::help},
    {"F2", MenuItem::start_over},
    {"F3", MenuItem::balance},
    {"F4", {}},
    {"F5", MenuItem::sound},
    {"F6", {}},
    {"F10", {}},
    {"F12", {}},
};

class Monkey {
   public:
    Monkey(std::string casino, std::string observer, unsigned seed)
        : casino_(std::move(casino)), observer_(std::move(observer)), seed_(seed), rng_(seed) {
        char folder[] = "/tmp/x_monkey.XXXXXX";
        if (mkdtemp(folder) == nullptr) throw std::runtime_error("no temporary folder");
        folder_ = folder;
    }

    int run(int seconds) {
        const auto end = Clock::now() + std::chrono::seconds(seconds);
        try {
            while (Clock::now() < end) {
                ++step_;
                if (pid_ == 0) start();
                step();
                check_health();
            }
            finish();
        } catch (const Finding& finding) {
            report(finding.what());
            stop();
            return 1;
        }
        std::printf(
            "monkey: the Linux program passed: seed %u, %d steps, %zu events, %d starts, %s\n",
            seed_, step_, steps_.events(), starts_, ledger_.tally().c_str());
        std::fflush(stdout);
        std::system(("rm -rf " + folder_).c_str());
        return 0;
    }

   private:
    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
    bool chance(int percent) { return pick(100) < percent; }

    void note(const std::string& what) { steps_.note(step_, what); }

    void report(const std::string& what) const {
        if (const char* shot = std::getenv("CASINO_MONKEY_SHOT")) {
            std::system(("import -window root " + std::string(shot)).c_str());
        }
        steps_.print_failure(step_, seed_, what);
    }

    // ---- The process ----

    void start() {
        note("start casino");
        const std::string log = folder_ + "/boxes.log";
        const std::string errors = folder_ + "/stderr.txt";
        unlink(errors.c_str());
        log_.close();
        std::ofstream(log, std::ios::trunc).flush();
        log_.open(log);
        pid_ = fork();
        if (pid_ == 0) {
            prctl(PR_SET_PDEATHSIG, SIGKILL);  // the game never outlives its monkey
            const int fd = open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            dup2(fd, 2);
            setenv("LD_PRELOAD", observer_.c_str(), 1);
            setenv("CASINO_MONKEY_LOG", log.c_str(), 1);
            execl(casino_.c_str(), casino_.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        ++starts_;
        closing_ = false;
        ledger_.restart();
        screen_ = casino::Screen::street;
        record_.reset();
        tickets_.clear();
        box_ = Box::Closed;
        const auto until = Clock::now() + std::chrono::seconds(20);
        while ((window_ = x_.find(kTitle, pid_)) == 0) {
            if (Clock::now() > until) throw Finding("the game's window did not open within 20 s");
            check_process();
            sleep_ms(20);
        }
        if (!x_.ping(window_, 5000)) throw Finding("the new window does not answer");
        // The keyboard follows the pointer: it rests on the window.
        rest_pointer();
    }

    void rest_pointer() {
        const Rect r = x_.rect(window_);
        x_.move(r.x + r.width - 3, r.y + r.height - 3);
    }

    void stop() {
        if (pid_ != 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
            pid_ = 0;
        }
    }

    // Reaps the process if it has ended; a finding unless it was closed and ended cleanly.
    bool check_process() {
        int status = 0;
        if (pid_ == 0 || waitpid(pid_, &status, WNOHANG) != pid_) return false;
        pid_ = 0;
        window_ = 0;
        read_log();  // the event that ended the game, if one did
        check_stderr();
        if (!closing_) throw Finding("the game ended by itself (" + describe(status) + ")");
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
            throw Finding("the game ended with " + describe(status));
        return true;
    }

    static std::string describe(int status) {
        if (WIFSIGNALED(status)) return "signal " + std::to_string(WTERMSIG(status));
        return "exit code " + std::to_string(WEXITSTATUS(status));
    }

    void check_stderr() {
        struct stat info {};
        if (stat((folder_ + "/stderr.txt").c_str(), &info) == 0 && info.st_size > 0) {
            std::ifstream in(folder_ + "/stderr.txt");
            std::string first;
            std::getline(in, first);
            throw Finding("the game wrote on standard error: " + first);
        }
    }

    double cpu_ms() const { return cpu_ms_of(pid_); }

    void check_health() {
        if (pid_ == 0) return;  // ended, and judged, already
        if (closing_) {
            const auto until = Clock::now() + std::chrono::milliseconds(kAnswerMs);
            while (pid_ != 0 && !check_process()) {
                if (Clock::now() > until)
                    throw Finding("the window was closed but the game still runs after 2 s");
                read_log();
                sleep_ms(10);
            }
            return;
        }
        if (check_process()) return;
        if (!x_.ping(window_, kAnswerMs)) {
            if (check_process()) return;
            throw Finding("the game did not answer a ping within 2 s");
        }
        check_stderr();
        if (step_ % 10 == 0 && box_ == Box::Closed) {
            const double before = cpu_ms();
            sleep_ms(300);
            const double used = cpu_ms() - before;
            if (used > 150)
                throw Finding("the game used " + std::to_string(static_cast<int>(used)) +
                              " ms of processor time in 300 ms idle");
        }
    }

    // ---- What the game said, from the observer's log ----

    enum class Box { Closed, Message, Ask };

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
        note("< " + line);
        if (line.starts_with("event ")) {
            event(line.substr(6));
        } else if (line.starts_with("message ")) {
            box_ = Box::Message;
            ++boxes_;
            box_text_ = line.substr(8);
            add_line(line);
            if (const auto amount = testing::balance_in(box_text_)) {
                if (*amount > 32767) throw Finding("the balance reads " + box_text_);
                balance_seen_ = true;
            }
        } else if (line.starts_with("ask ")) {
            box_ = Box::Ask;
            ++boxes_;
            box_text_ = line.substr(4);
            add_line(line);
        } else if (line.starts_with("answer ")) {
            if (record_) record_->answers.push_back(line.substr(7));
        } else if (line == "closed") {
            box_ = Box::Closed;
        } else if (line == "exit") {
            // The program ends; whether it should is judged by its exit.
        } else {
            throw Finding("the observer saw something unexpected: " + line);
        }
    }

    void add_line(const std::string& line) {
        if (record_) {
            record_->lines.push_back(line);
        } else {
            ledger_.lose_track();  // a box of an event the observer did not see
        }
    }

    void event(const std::string& what) {
        close_record();
        if (what == "close") {
            closing_ = true;
            return;
        }
        char list[16] = {};
        int code = 0, highlight = -1, index = -1;
        char name[32] = {};
        if (std::sscanf(what.c_str(), "menu %d", &index) == 1) {
            if (index < 0 || index >= kMenuItemCount)
                throw Finding("a menu event for no item: " + what);
            const auto item = static_cast<MenuItem>(index);
            if (item == MenuItem::exit) {
                closing_ = true;
                return;
            }
            begin(Event::menu_item(item));
        } else if (std::sscanf(what.c_str(), "click %31s", name) == 1) {
            for (const ControlSpec& row : kControls) {
                if (row.name == name) begin(Event::click(row.id));
            }
            const std::string clicked = name;
            if (clicked == "cmdexit" || clicked == "cmdwent") screen_ = casino::Screen::floor;
            if (clicked == "cmdlom") screen_ = casino::Screen::pawnshop;
        } else if (std::sscanf(what.c_str(), "key %15s %d %d", list, &code, &highlight) == 3 ||
                   std::sscanf(what.c_str(), "activate %15s %d", list, &highlight) == 2) {
            // An activation is Enter, or a double click that only moves the highlight.
            if (what.starts_with("activate")) code = kEnterKey;
            const Control c = std::string(list) == "List1" ? Control::List1 : Control::List2;
            std::string line;
            if (c == Control::List2 && highlight >= 0 &&
                highlight < static_cast<int>(tickets_.size())) {
                line = tickets_[static_cast<std::size_t>(highlight)];
            }
            begin(Event::key_press(c, code, highlight), line);
        }
    }

    void begin(const Event& e, std::string highlighted = {}) {
        record_.emplace();
        record_->event = e;
        record_->highlighted_before = std::move(highlighted);
    }

    void close_record() {
        if (!record_) return;
        testing::EventRecord record = std::move(*record_);
        record_.reset();
        const Event& e = record.event;
        // The wardrobe entry pawned is the one the pawn message names.
        const std::string pawn_head = "message ты заложил ";
        if (e.type == EventType::KeyPress && e.control == Control::List1 && !record.lines.empty() &&
            record.lines[0].starts_with(pawn_head)) {
            const std::string rest = record.lines[0].substr(pawn_head.size());
            for (const std::string_view item : testing::kItemTexts) {
                if (rest.starts_with(item)) record.highlighted_before = item;
            }
        }
        const auto settled = ledger_.settle(record);
        if (!settled) return;
        // The pawned list, as the boxes tell it: a pawn adds its ticket at the end, a
        // redemption takes the highlighted one away, start over empties it.
        if (settled->pawn) {
            tickets_.push_back(std::string(testing::kItemTexts[settled->pawn->item]) +
                               std::to_string(settled->pawn->redeem_price));
        }
        if (e.type == EventType::KeyPress && e.control == Control::List2 && !record.lines.empty() &&
            record.lines[0] == "message заходи еще.") {
            if (e.highlight >= 0 && e.highlight < static_cast<int>(tickets_.size())) {
                tickets_.erase(tickets_.begin() + e.highlight);
            }
        }
        if (e.type == EventType::Menu && e.menu == MenuItem::start_over) tickets_.clear();
    }

    // ---- One step ----

    void step() {
        if (step_ % kBalanceEvery == 0 || chance(5)) {
            // Two Escapes close a menu left open; then the balance.
            note("Escape Escape F3");
            press_keys({"Escape", "Escape", "F3"});
            expect_balance_ = true;
            balance_seen_ = false;
        } else {
            // Control clicks, clicks anywhere, keys, held keys, the menu bar, closes.
            switch (testing::weighted(rng_, {21, 9, 18, 3, 6, 1})) {
                case 0: click_control(); break;
                case 1: click_somewhere(); break;
                case 2: press_key(); break;
                case 3: hold_key(); break;
                case 4: use_menu(); break;
                default:
                    // A menu left open would keep the close from the window: Escape first.
                    note("Escape Escape, close the window");
                    press_keys({"Escape", "Escape"});
                    closing_ = true;
                    x_.request_close(window_);
            }
        }
        settle();
    }

    // Keys one after another at a fast typist's pace: a menu's grab of the keyboard ends
    // only once the toolkit has taken the Escape, and keys sent before that go to the menu.
    void press_keys(std::initializer_list<const char*> keys) {
        for (const char* key : keys) {
            x_.key(key);
            sleep_ms(40);
        }
    }

    // The control's middle on the screen: the client area fills the window below the menu bar.
    std::pair<int, int> centre_of(const ControlSpec& row) {
        const Rect r = x_.rect(window_);
        const int client_top = r.height - twips_to_pixels(kWindow.client_height, 96);
        return {r.x + twips_to_pixels(row.left + row.width / 2, 96),
                r.y + client_top + twips_to_pixels(row.top + row.height / 2, 96)};
    }

    // Mostly a control of the screen the game shows, as the clicks so far tell it; sometimes
    // any, hidden ones included.
    void click_control() {
        const auto shown = controls_on(screen_);
        const Control c =
            chance(75) ? shown[static_cast<std::size_t>(pick(static_cast<int>(shown.size())))]
                       : static_cast<Control>(pick(kControlCount));
        const ControlSpec& row = spec_of(c);
        const auto [cx, cy] = centre_of(row);
        note("click " + std::string(row.name));
        x_.click(cx, cy);
        if (chance(15)) {
            note("and again at once");
            x_.click(cx, cy);
        }
    }

    void click_somewhere() {
        const Rect r = x_.rect(window_);
        const int cx = r.x + pick(std::max(r.width, 1));
        const int cy = r.y + pick(std::max(r.height, 1));
        note("click at " + std::to_string(cx - r.x) + "," + std::to_string(cy - r.y));
        x_.click(cx, cy);
    }

    void press_key() {
        // Enter a quarter of the time: it is what presses buttons and pawns.
        const KeyName& key =
            chance(25) ? kKeys[6]
                       : kKeys[static_cast<std::size_t>(pick(static_cast<int>(std::size(kKeys))))];
        note(std::string("key ") + key.x_name);
        x_.key(key.x_name);
    }

    // A key held down: its repeats come as fast as the keyboard sends them.
    void hold_key() {
        static const char* const kHeld[] = {"Return", "space", "Escape", "Tab",
                                            "Down",   "F3",    "F1",     "5"};
        const char* key = kHeld[pick(static_cast<int>(std::size(kHeld)))];
        const int repeats = 5 + pick(60);
        note(std::string("hold ") + key + " for " + std::to_string(repeats) + " repeats");
        for (int i = 0; i < repeats; ++i) {
            x_.key(key);
            read_log();
            sleep_ms(30);
        }
    }

    // The menu bar: a click on a title, then on the menu that opens or elsewhere.
    void use_menu() {
        const Rect r = x_.rect(window_);
        const int bar = r.height - twips_to_pixels(kWindow.client_height, 96);
        const int mx = r.x + 5 + pick(120);
        note("menu bar at " + std::to_string(mx - r.x));
        x_.click(mx, r.y + std::max(bar / 2, 1));
        sleep_ms(150);
        if (chance(25)) {
            x_.key("Escape");
            return;
        }
        x_.click(mx + pick(40), r.y + bar + 5 + pick(120));
        rest_pointer();
    }

    // Reads what the game does until it rests: every box it opens is answered somehow.
    void settle() {
        for (int quiet = 0; quiet < 2;) {
            const std::size_t before = steps_.events();
            if (pid_ != 0 && !closing_ && !x_.ping(window_, kAnswerMs)) {
                if (check_process()) return;
                throw Finding("the game did not answer a ping within 2 s");
            }
            read_log();
            if (closing_) return;
            if (box_ != Box::Closed) {
                answer_box();
                quiet = 0;
                continue;
            }
            quiet = steps_.events() == before ? quiet + 1 : 0;
            sleep_ms(20);
        }
        if (expect_balance_) {
            // The balance box may still be on its way.
            const auto until = Clock::now() + std::chrono::milliseconds(kAnswerMs);
            while (!balance_seen_ && !closing_ && Clock::now() < until) {
                read_log();
                sleep_ms(10);
            }
            expect_balance_ = false;
            if (!balance_seen_ && !closing_) throw Finding("F3 showed no balance within 2 s");
            if (box_ != Box::Closed) settle();
        }
    }

    // Finds the box's window, opened by the toolkit shortly after the observer saw it.
    Window box_window() {
        Window box = 0;
        const auto until = Clock::now() + std::chrono::milliseconds(kAnswerMs);
        while ((box = x_.find(kBoxTitle, pid_)) == 0) {
            if (Clock::now() > until)
                throw Finding("the box [" + box_text_ + "] did not appear on the screen");
            read_log();
            if (box_ == Box::Closed || closing_) return 0;
            sleep_ms(10);
        }
        return box;
    }

    void answer_box() {
        const Box kind = box_;
        const int serial = boxes_;
        const Window box = box_window();
        if (box == 0) return;
        const Rect r = x_.rect(box);
        // The keyboard follows the pointer into the box.
        x_.move(r.x + r.width / 2, r.y + r.height / 2);
        if (chance(2)) {
            // A close with a box open ends the game like any other.
            note("close the window with the box open");
            closing_ = true;
            x_.request_close(window_);
            return;
        }
        if (chance(10)) {
            note("click in the box");
            x_.click(r.x + pick(std::max(r.width, 1)), r.y + pick(std::max(r.height, 1)));
            read_log();
            if (box_ == Box::Closed) return;
        }
        if (kind == Box::Ask) {
            const std::string text = testing::monkey_answer(rng_);
            // A long text is pasted, a short one typed.
            if (text.size() > 100) {
                note("paste " + text);
                x_.paste(text);
            } else {
                note("type " + text);
                x_.type(text);
            }
            if (!x_.ping(window_, kAnswerMs))
                throw Finding("the input box did not answer within 2 s");
        }
        switch (pick(5)) {
            case 0:
                note("Escape");
                x_.key("Escape");
                break;
            case 1:
                note("close the box");
                x_.request_close(box);
                break;
            case 2:
                note("space");
                x_.key("space");
                break;
            default:
                note("Return");
                x_.key("Return");
                break;
        }
        const auto until = Clock::now() + std::chrono::milliseconds(kAnswerMs);
        // Closed, or already followed by the next box.
        while (box_ != Box::Closed && boxes_ == serial && !closing_) {
            if (Clock::now() > until) {
                // Space may have gone to the text rather than a button: Escape closes any box.
                note("Escape");
                x_.key("Escape");
                if (wait_closed(serial)) break;
                throw Finding("the box [" + box_text_ + "] did not close within 2 s");
            }
            read_log();
            sleep_ms(5);
        }
        rest_pointer();
    }

    bool wait_closed(int serial) {
        const auto until = Clock::now() + std::chrono::milliseconds(kAnswerMs);
        while (box_ != Box::Closed && boxes_ == serial && Clock::now() < until) {
            read_log();
            sleep_ms(5);
        }
        return box_ == Box::Closed || boxes_ != serial;
    }

    // A last balance check, then the game is left through its close box.
    void finish() {
        ++step_;
        if (pid_ == 0) start();
        note("Escape Escape F3, the last balance");
        press_keys({"Escape", "Escape", "F3"});
        expect_balance_ = true;
        balance_seen_ = false;
        settle();
        close_record();
        if (!ledger_.knows_money()) throw Finding("the last balance check showed no balance");
        note("close the window");
        closing_ = true;
        x_.request_close(window_);
        check_health();
    }

    std::string casino_;
    std::string observer_;
    unsigned seed_;
    std::mt19937 rng_;
    std::string folder_;
    X x_;
    pid_t pid_ = 0;
    Window window_ = 0;
    std::ifstream log_;
    Box box_ = Box::Closed;
    casino::Screen screen_ = casino::Screen::street;
    std::string box_text_;
    int boxes_ = 0;  // boxes seen so far
    bool closing_ = false;
    bool expect_balance_ = false;
    bool balance_seen_ = false;
    std::optional<testing::EventRecord> record_;
    testing::RunningLedger ledger_;
    std::vector<std::string> tickets_;  // the pawned list's lines, in order
    testing::StepLog steps_;
    int step_ = 0;
    int starts_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
    try {
        if (argc == 2 && std::string(argv[1]) == "serve") return serve();
        if (argc == 6 && std::string(argv[1]) == "wx") {
            return Monkey(argv[2], argv[3], static_cast<unsigned>(std::stoul(argv[5])))
                .run(std::stoi(argv[4]));
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "x_monkey: %s\n", e.what());
        return 2;
    }
    std::fprintf(stderr, "usage: x_monkey wx CASINO OBSERVER SECONDS SEED | x_monkey serve\n");
    return 2;
}
