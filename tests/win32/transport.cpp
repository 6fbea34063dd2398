// The Windows program's transport (see transport.h).
#include "transport.h"

#include <fcntl.h>
#include <io.h>
#include <oleacc.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <sstream>
#include <utility>

#include "core/event.h"
#include "input_box.h"
#include "support/names.h"
#include "support/script_words.h"

namespace casino::automation {
namespace {

int number(std::string_view text) { return std::stoi(std::string(text)); }

// libfaketime reads the file at every look at the clock; it is replaced whole, so that it
// is never seen half written.
void set_clock(const std::wstring& file, int t) {
    const std::wstring part = file + L".part";
    char time[64];
    std::snprintf(time, sizeof time, "2026-12-07 %02d:%02d:%02d\n", t / 3600, t / 60 % 60, t % 60);
    const bool written = static_cast<bool>(std::ofstream(std::filesystem::path(part)) << time);
    expect(written && MoveFileExW(part.c_str(), file.c_str(), MOVEFILE_REPLACE_EXISTING),
           "cannot set the clock in " + narrow(file));
}

// Asks the helper that reads our standard output (x_monkey serve, or the screenshot
// script) for one thing with the line "XINPUT N WHAT", waits until it has written the file
// xinput-N.done, and returns the file's first line.
std::string ask_helper(const std::string& what) {
    static int sequence = 0;
    const std::string n = std::to_string(++sequence);
    const std::wstring done = widen("xinput-" + n + ".done");
    std::printf("XINPUT %s %s\n", n.c_str(), what.c_str());
    std::fflush(stdout);
    expect(wait_until([&] { return GetFileAttributesW(done.c_str()) != INVALID_FILE_ATTRIBUTES; },
                      20000),
           "the helper did not answer " + what);
    std::string answer;
    std::getline(std::ifstream(std::filesystem::path(done)), answer);
    DeleteFileW(done.c_str());
    return answer;
}

// Wine reads the X events as they come, and a message posted after them could overtake
// them: the click is made to have landed (the button pressed and let go) before going on.
void x_click(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    ask_helper("click " + std::to_string((r.left + r.right) / 2) + " " +
               std::to_string((r.top + r.bottom) / 2));
    Sleep(50);
}

// Wine does not tell one process the times of another, so x_monkey reads them from Linux.
double cpu_ms() { return std::strtod(ask_helper("cpu").c_str(), nullptr); }

// Asks for a picture of the window: "shot NAME X Y WIDTH HEIGHT".
void picture(const Game& game, std::string_view name) {
    Sleep(400);  // let the window finish painting
    RECT r{};
    GetWindowRect(game.window(), &r);
    ask_helper("shot " + std::string(name) + " " + std::to_string(r.left) + " " +
               std::to_string(r.top) + " " + std::to_string(r.right - r.left) + " " +
               std::to_string(r.bottom - r.top));
}

// The controls shown and enabled, and which holds the keyboard, as a screen reader finds
// them; both lists' entries and highlights from the lists. Of the buttons only the one
// holding the keyboard wears the default button's border: Enter or Space acts on it.
std::vector<std::string> show(const Game& game, int answer_ms) {
    // A box that has just closed gives the activation back to the window.
    wait_until([&] { return game.active() == game.window(); }, answer_ms);
    std::string visible = "visible", enabled = "enabled", keyboard = "keyboard";
    for (const ControlSpec& entry : kControls) {
        const long state = spoken(game.control(entry.id), std::string(entry.name)).state;
        const std::string name = " " + std::string(entry.name);
        if ((state & STATE_SYSTEM_INVISIBLE) == 0) visible += name;
        if ((state & STATE_SYSTEM_UNAVAILABLE) == 0) enabled += name;
        if ((state & STATE_SYSTEM_FOCUSED) != 0) keyboard += name;
    }
    expect(wait_until([&] { return game.default_look_follows_keyboard(); }, 1000),
           "a button looks like the default without the keyboard, or the one with it does not");
    std::vector<std::string> lines{visible, enabled};
    for (const Control list : {Control::List1, Control::List2}) {
        HWND hwnd = game.control(list);
        std::string line(name_of(list));
        for (LRESULT i = 0; i < SendMessageW(hwnd, LB_GETCOUNT, 0, 0); ++i) {
            wchar_t text[256] = {};
            SendMessageW(hwnd, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
            line += " [" + narrow(text) + "]";
        }
        lines.push_back(line +
                        " highlight=" + std::to_string(SendMessageW(hwnd, LB_GETCURSEL, 0, 0)));
    }
    lines.push_back(keyboard);
    return lines;
}

}  // namespace

int serve(const TransportSetup& setup) {
    // The monkey reads our lines as they are: no carriage returns.
    _setmode(_fileno(stdout), _O_BINARY);
    Transport t(setup);
    std::printf(
        "observes message ask cue caption quit visible enabled List1 List2 keyboard\nready\n");
    std::fflush(stdout);
    int commands = 0;
    for (std::string line; std::getline(std::cin, line);) {
        if (line.ends_with('\r')) line.pop_back();
        try {
            for (const std::string& shown : t.perform(line)) std::printf("%s\n", shown.c_str());
            // Idle, the game must not use the processor.
            if (setup.xinput && t.game() != nullptr && ++commands % 10 == 0 &&
                !t.game()->open_box()) {
                const double before = cpu_ms();
                Sleep(300);
                const double used = cpu_ms() - before;
                expect(used <= 150, "the game used " + std::to_string(static_cast<int>(used)) +
                                        " ms of processor time in 300 ms idle");
            }
        } catch (const Finding& finding) {
            std::printf("finding %s\n", finding.what());
        }
        std::printf("ready\n");
        std::fflush(stdout);
    }
    return 0;
}

std::vector<std::string> Transport::perform(std::string_view line) {
    const std::vector<std::string_view> w = testing::script_words(line);
    const std::string_view verb = w.empty() ? std::string_view() : w[0];
    const bool event = verb == "click" || verb == "key" || verb == "highlight" || verb == "menu";
    if (verb == "type") answers_.emplace_back(line.substr(std::min<std::size_t>(line.size(), 5)));
    if (verb == "clock") set_clock(setup_.clock_file, number(w[1]));
    if (verb == "start") start();
    if (verb == "picture") picture(*game_, w[1]);
    if (verb == "close" && w.size() == 3) close_in_ = std::string(w[2]);
    if (verb == "close" && w.size() == 1) return {close(false)};
    if (verb == "show") return show(*game_, setup_.answer_ms);
    if (event) play(w);
    return event ? settle() : std::vector<std::string>{};
}

void Transport::start() {
    game_.reset();
    answers_.clear();
    close_in_.reset();
    read_cues();  // what came before is no cue of this game
    game_ = std::make_unique<Game>(setup_.exe);
    game_->move_to(setup_.place);
    labels_ = game_->menu_labels();
}

// ---- Input, as a player gives it ----

// A way of acting: a message posted to a window; or, as the system delivers them, a key
// (WM_KEYDOWN, or WM_SYSKEYDOWN with Alt) or a click in the window's middle
// (WM_LBUTTONDOWN); or, with no message, a real X click there.
struct Transport::Way {
    HWND target;
    UINT message;
    WPARAM wparam = 0;
};

void Transport::one_way(std::string_view choice, std::initializer_list<Way> ways) {
    // A real X click, offered last, needs x_monkey.
    const auto count = ways.size() - (!setup_.xinput && std::prev(ways.end())->message == 0);
    const Way& way = ways.begin()[turns_[choice]++ % count];
    RECT r{};
    if (way.message == 0) {
        x_click(way.target);
    } else if (way.message == WM_KEYDOWN || way.message == WM_SYSKEYDOWN) {
        game_->key(way.target, way.wparam, way.message == WM_SYSKEYDOWN);
    } else if (way.message == WM_LBUTTONDOWN && GetClientRect(way.target, &r)) {
        game_->mouse_click(way.target, {r.right / 2, r.bottom / 2});
    } else {
        PostMessageW(way.target, way.message, way.wparam, 0);
    }
}

// A click on a button (Enter or Space when it holds the keyboard), a key typed in a list,
// a list's highlight moved, a menu item chosen. A hidden or disabled control takes no
// input, and a list no click. A menu item is chosen by the key its label names ("F3"),
// pressed where the keyboard is, and by a click on it in turn, the key first, so that every
// key is pressed the first time its item is chosen.
void Transport::play(const std::vector<std::string_view>& w) {
    if (w[0] == "menu") {
        const MenuItem item = testing::menu_item_named(w[1]).value();
        const std::string& label = labels_[item];
        const std::size_t key = label.find("\tF");
        if (key == std::string::npos || turns_[name_of(item)]++ % 2 == 1) {
            PostMessageW(game_->window(), WM_COMMAND, MAKEWPARAM(win32::menu_id(item), 0), 0);
        } else {
            game_->key(nullptr, static_cast<WPARAM>(VK_F1 + number(label.substr(key + 2)) - 1));
        }
        return;
    }
    const Control target = testing::control_named(w[1]).value();
    HWND hwnd = game_->control(target);
    if (!game_->shown(target) || (w[0] == "click" && is_list(target))) return;
    if (w[0] == "click" && game_->focus() == hwnd) {
        one_way("press", {{hwnd, WM_KEYDOWN, VK_RETURN}, {hwnd, WM_KEYDOWN, VK_SPACE}});
    } else if (w[0] == "click") {
        one_way("click", {{hwnd, BM_CLICK}, {hwnd, WM_LBUTTONDOWN}, {hwnd, 0}});
    } else if (w[0] == "highlight") {
        highlight(hwnd, number(w[2]));
    } else if (number(w[2]) == kEnterKey) {
        game_->key(hwnd, VK_RETURN);
    } else {
        PostMessageW(hwnd, WM_CHAR, static_cast<WPARAM>(number(w[2])), 1);
    }
}

// The arrow keys move the highlight (Home lights the first entry when none is); a click on
// the entry already highlighted, or a double click, leaves it where it is. An index past
// the entries hits nothing.
void Transport::highlight(HWND list, int index) {
    LRESULT at = SendMessageW(list, LB_GETCURSEL, 0, 0);
    if (index < 0 || index >= SendMessageW(list, LB_GETCOUNT, 0, 0)) return;
    if (at == index && SendMessageW(list, LB_GETTOPINDEX, 0, 0) != index) return;
    const auto line = static_cast<LONG>(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
    if (at == index) return game_->mouse_click(list, {4, line / 2}, turns_["list click"]++ % 2);
    if (at < 0) game_->key(list, VK_HOME);
    for (at = std::max<LRESULT>(at, 0); at < index; ++at) game_->key(list, VK_DOWN);
    for (; at > index; --at) game_->key(list, VK_UP);
}

// The window is closed as a player closes it (its close box, Alt+F4) or as the taskbar or
// another program asks; from inside a box, as the taskbar or another program asks. The
// game ends at once with exit code 0, and opens no window on its way out.
std::string Transport::close(bool in_box) {
    // The accessibility layer tells of every window the game makes, even one that opens
    // and closes between two looks at the screen; its news comes as messages to this
    // thread. One watch at a time.
    static int created = 0;
    created = 0;
    const HWINEVENTHOOK hook = SetWinEventHook(
        EVENT_OBJECT_CREATE, EVENT_OBJECT_CREATE, nullptr,
        [](HWINEVENTHOOK, DWORD, HWND, LONG object, LONG child, DWORD, DWORD) {
            if (object == OBJID_WINDOW && child == CHILDID_SELF) ++created;
        },
        game_->process(), 0, WINEVENT_OUTOFCONTEXT);
    const auto news = [] {
        for (MSG msg{}; PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);) DispatchMessageW(&msg);
    };
    HWND window = game_->window();
    if (in_box) {
        PostMessageW(window, WM_CLOSE, 0, 0);
    } else {
        one_way("close", {{window, WM_SYSCOMMAND, SC_CLOSE},
                          {window, WM_CLOSE},
                          {nullptr, WM_SYSKEYDOWN, VK_F4}});
    }
    const bool ended =
        wait_until([&] { return news(), game_->exit_code().has_value(); }, setup_.answer_ms);
    Sleep(100);  // the last events on their way
    news();
    UnhookWinEvent(hook);
    expect(ended, "the window was closed but the game still runs after " +
                      std::to_string(setup_.answer_ms) + " ms");
    expect(hook != nullptr && created == 0, "a window opened after the close");
    return finish();
}

// The game has ended, as a game that quits ends: with exit code 0.
std::string Transport::finish() {
    const DWORD code = game_->exit_code().value();
    game_.reset();
    expect(code == 0, "the game ended with exit code " + std::to_string(code));
    return "quit";
}

// ---- What the game shows ----

// A trace line reads: trace:mmio:MMIO_Open ("sound\\door.wav", ...), with the path's
// backslashes doubled; a cue found beside casino.exe is named as the game names it. A line
// still being written is left for the next read.
void Transport::read_cues(std::vector<std::string>* seen) {
    const std::string dir = narrow(setup_.exe.substr(0, setup_.exe.find_last_of(L"\\/") + 1));
    std::ifstream trace(std::filesystem::path(setup_.trace_file), std::ios::binary);
    trace.seekg(traced_);
    for (std::string line; std::getline(trace, line) && !trace.eof(); traced_ = trace.tellg()) {
        // Each line starts with the number of the thread that wrote it.
        line.erase(0, line.find_first_not_of("0123456789abcdef"));
        expect(line.starts_with(":trace:mmio:"), "the game or Wine wrote on stderr: " + line);
        constexpr std::string_view kOpen = ":trace:mmio:MMIO_Open (\"";
        if (!line.starts_with(kOpen)) continue;
        std::string path;
        std::istringstream(line.substr(kOpen.size() - 1)) >> std::quoted(path);
        if (_strnicmp(path.c_str(), dir.c_str(), dir.size()) == 0) path.erase(0, dir.size());
        if (seen != nullptr) seen->push_back("cue " + path);
    }
}

// Answers every box the game opens until it is idle again, or has ended; then the menu
// captions that changed.
std::vector<std::string> Transport::settle() {
    const std::string waited = " within " + std::to_string(setup_.answer_ms) + " ms";
    std::vector<std::string> seen;
    bool idle = false;
    for (int boxes = 0; (idle = game_->drain(setup_.answer_ms)); ++boxes) {
        read_cues(&seen);
        const std::optional<Box> box = game_->open_box();
        if (!box) break;
        expect(boxes < 200, "more than 200 boxes in one step");
        seen.push_back((box->input ? "ask " : "message ") + box->text);
        if (close_in_ == (box->input ? "ask" : "message")) {
            seen.push_back(close(true));
            return seen;
        }
        box->input ? answer(*box) : dismiss(*box);
        expect(wait_until([&] { return IsWindow(box->hwnd) == FALSE; }, setup_.answer_ms),
               "the box [" + box->text + "] did not close" + waited);
    }
    expect(idle || wait_until([&] { return game_->exit_code().has_value(); }, setup_.answer_ms),
           "the game did not answer" + waited);
    read_cues(&seen);
    if (game_->exit_code()) {
        seen.push_back(finish());
        return seen;
    }
    for (const auto& [item, label] : game_->menu_labels()) {
        if (std::exchange(labels_[item], label) == label) continue;
        seen.push_back("caption " + std::string(name_of(item)) + " " +
                       label.substr(0, label.find('\t')));
    }
    return seen;
}

// ---- The boxes ----

// A message box is the window's own, with only an OK button, and a screen reader reads it.
// It is dismissed in each of the ways a player has in turn.
void Transport::dismiss(const Box& box) {
    const std::string what = "the message box [" + box.text + "]";
    HWND ok = GetDlgItem(box.hwnd, IDOK);
    expect(GetWindow(box.hwnd, GW_OWNER) == game_->window() && ok != nullptr &&
               GetDlgItem(box.hwnd, IDCANCEL) == nullptr,
           what + " is not the window's own, with an OK button alone");
    const std::string read = spoken(GetDlgItem(box.hwnd, kMessageTextId), what).name;
    expect(read == box.text, "a screen reader reads " + what + " as [" + read + "]");
    one_way("dismiss", {{box.hwnd, WM_COMMAND, IDOK},
                        {box.hwnd, WM_KEYDOWN, VK_RETURN},
                        {box.hwnd, WM_KEYDOWN, VK_ESCAPE},
                        {box.hwnd, WM_SYSCOMMAND, SC_CLOSE},
                        {ok, WM_KEYDOWN, VK_SPACE},
                        {ok, 0}});
}

// The input box stands centred over the window as far as the screen allows, wholly on
// the screen, with the system's own button captions, an empty field named after its
// prompt, and the window disabled behind it. The answer queued is typed, by characters
// or at once, and confirmed; an empty one cancels the box, one way or another.
void Transport::answer(const Box& box) {
    const std::string where = " (the input box [" + box.text + "])";
    HWND edit = GetDlgItem(box.hwnd, win32::kInputEditId);
    HWND ok = GetDlgItem(box.hwnd, IDOK);
    HWND cancel = GetDlgItem(box.hwnd, IDCANCEL);
    // An empty field, the system's own buttons, the window disabled behind the box.
    const std::string field = text_of(edit), yes = text_of(ok), no = text_of(cancel);
    const std::string system = system_caption(IDOK) + " / " + system_caption(IDCANCEL);
    const bool enabled = IsWindowEnabled(game_->window()) != FALSE;
    expect(field.empty() && yes + " / " + no == system && !enabled,
           "the box opens with [" + field + "] in its field, the buttons " + yes + " / " + no +
               " (the system's: " + system + ") and the window " +
               (enabled ? "enabled" : "disabled") + " behind it" + where);
    RECT outer{}, inner{}, on_screen{};
    GetWindowRect(game_->window(), &outer);
    GetWindowRect(box.hwnd, &inner);
    const RECT work = work_area(game_->window());
    const POINT at = centred(inner, outer, work);
    IntersectRect(&on_screen, &inner, &work);
    expect(std::abs(inner.left - at.x) <= 1 && std::abs(inner.top - at.y) <= 1 &&
               EqualRect(&on_screen, &inner) != FALSE,
           "the box stands at " + std::to_string(inner.left) + "," + std::to_string(inner.top) +
               ", not wholly on the screen and centred over the window as far as it allows, at " +
               std::to_string(at.x) + "," + std::to_string(at.y) + where);
    const std::string text = answers_.empty() ? std::string() : answers_.front();
    if (!answers_.empty()) answers_.pop_front();
    if (text.empty()) {
        return one_way("cancel", {{cancel, BM_CLICK},
                                  {edit, WM_KEYDOWN, VK_ESCAPE},
                                  {box.hwnd, WM_SYSCOMMAND, SC_CLOSE},
                                  {ok, BM_CLICK}});
    }
    const std::wstring wide = widen(text);
    const bool printable =
        std::all_of(wide.begin(), wide.end(), [](wchar_t ch) { return ch >= 0x20; });
    if (printable && wide.size() <= 40 && turns_["typing"]++ % 2 == 0) {
        for (const wchar_t ch : wide) PostMessageW(edit, WM_CHAR, ch, 1);
    } else {
        SendMessageTimeoutW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()),
                            SMTO_NORMAL, setup_.answer_ms, nullptr);
    }
    // Posted characters arrive after any sent message, so the field is watched instead.
    expect(wait_until([&] { return text_of(edit) == text; }, setup_.answer_ms),
           "the field holds [" + text_of(edit) + "] after [" + text + "] was typed" + where);
    const Spoken heard = spoken(edit, "the input field" + where);
    expect(heard.role == ROLE_SYSTEM_TEXT && heard.name == box.text && heard.value == text,
           "a screen reader reads the field as [" + heard.name + " / " + heard.value + "]" + where);
    one_way("confirm", {{ok, BM_CLICK}, {edit, WM_KEYDOWN, VK_RETURN}, {ok, 0}});
}

}  // namespace casino::automation
