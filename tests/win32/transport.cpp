// The Windows program's transport (see transport.h).
#include "transport.h"

#include <oleacc.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "core/event.h"
#include "input_box.h"
#include "support/names.h"
#include "support/script_words.h"
#include "window_parts.h"

namespace casino::automation {
namespace {

int number(std::string_view text) {
    return static_cast<int>(std::strtol(std::string(text).c_str(), nullptr, 10));
}

std::string box_line(const Box& box) { return (box.input ? "ask " : "message ") + box.text; }

POINT client_middle(HWND hwnd) {
    RECT r{};
    GetClientRect(hwnd, &r);
    return {r.right / 2, r.bottom / 2};
}

}  // namespace

Transport::Transport(TransportSetup setup) : setup_(std::move(setup)) {
    const std::size_t slash = setup_.exe.find_last_of(L"\\/");
    if (slash != std::wstring::npos) data_prefix_ = narrow(setup_.exe.substr(0, slash + 1));
    if (setup_.trace_file.empty()) return;
    trace_ = CreateFileW(setup_.trace_file.c_str(), GENERIC_READ,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    expect(trace_ != INVALID_HANDLE_VALUE, "cannot read Wine's trace " + narrow(setup_.trace_file));
}

Transport::~Transport() {
    if (trace_ != INVALID_HANDLE_VALUE) CloseHandle(trace_);
}

std::vector<std::string> Transport::perform(std::string_view line) {
    const std::vector<std::string_view> w = testing::script_words(line);
    const std::string_view verb = w.empty() ? std::string_view() : w[0];
    if (verb == "type") {
        answers_.emplace_back(line.size() > 5 ? line.substr(5) : std::string_view());
    } else if (verb == "clock" && w.size() == 2) {
        set_clock(number(w[1]) % 86400);
    } else if (verb == "start") {
        start();
    } else if (verb == "stop") {
        game_.reset();
    } else if (game_ == nullptr) {
        throw Finding("no game runs for: " + std::string(line));
    } else if (verb == "close" && w.size() == 3 && w[1] == "in") {
        close_in_ = std::string(w[2]);
    } else if (verb == "close") {
        close(false);
        return {"quit"};
    } else if (verb == "show") {
        return show();
    } else if (verb == "picture" && w.size() == 2) {
        picture(w[1]);
    } else {
        play(line);
        return settle();
    }
    return {};
}

void Transport::start() {
    game_.reset();
    answers_.clear();
    close_in_.reset();
    std::vector<std::string> before;
    read_cues(before);  // what came before is no cue of this game
    game_ = std::make_unique<Game>(setup_.exe, setup_.stderr_file);
    game_->move_to(setup_.place);
    labels_ = menu_labels();
}

// libfaketime reads the file at every look at the clock; it is replaced whole, so that it
// is never seen half written.
void Transport::set_clock(int t) {
    const std::wstring part = setup_.clock_file + L".part";
    FILE* file = _wfopen(part.c_str(), L"w");
    const bool written =
        file != nullptr &&
        std::fprintf(file, "2026-12-07 %02d:%02d:%02d\n", t / 3600, t / 60 % 60, t % 60) > 0 &&
        std::fclose(file) == 0;
    expect(
        written && MoveFileExW(part.c_str(), setup_.clock_file.c_str(), MOVEFILE_REPLACE_EXISTING),
        "cannot set the clock in " + narrow(setup_.clock_file));
}

// ---- Input, as a player gives it ----

// A click on a button (Enter or Space when it holds the keyboard), a key typed in a list,
// a list's highlight moved, a menu item chosen. A hidden or disabled control takes no input.
void Transport::play(std::string_view line) {
    const std::vector<std::string_view> w = testing::script_words(line);
    const std::optional<Control> named =
        w.size() >= 2 ? testing::control_named(w[1]) : std::nullopt;
    const std::optional<MenuItem> item =
        w.size() == 2 ? testing::menu_item_named(w[1]) : std::nullopt;
    const Control target = named.value_or(Control::cmdexit);
    const bool list = named.has_value() && is_list(target);
    if (w[0] == "menu" && item) return menu(*item);
    const bool on_list = w[0] == "key" || w[0] == "highlight";
    expect(named && ((w[0] == "click" && w.size() == 2) || (list && on_list && w.size() == 3)),
           "the transport cannot perform: " + std::string(line));
    if (!game_->shown(target)) return;
    HWND hwnd = game_->control(target);
    if (w[0] == "click" && !list && game_->focus() == hwnd) {
        game_->key(hwnd, next_way(Choice::press_focused, 2) == 0 ? VK_RETURN : VK_SPACE);
    } else if (w[0] == "click" && !list) {
        switch (next_way(Choice::click, setup_.xinput ? 3 : 2)) {
            case 0: PostMessageW(hwnd, BM_CLICK, 0, 0); break;
            case 1: game_->mouse_click(hwnd, client_middle(hwnd)); break;
            default: x_click(hwnd);
        }
    } else if (w[0] == "key" && number(w[2]) == kEnterKey) {
        game_->key(hwnd, VK_RETURN);
    } else if (w[0] == "key") {
        PostMessageW(hwnd, WM_CHAR, static_cast<WPARAM>(number(w[2])), 1);
    } else if (w[0] == "highlight") {
        highlight(hwnd, number(w[2]));
    }
}

// The arrow keys move the highlight (Home lights the first entry when none is); a click on
// the entry already highlighted, or a double click, leaves it where it is. An index past
// the entries hits nothing.
void Transport::highlight(HWND list, int index) {
    const auto count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
    int at = static_cast<int>(SendMessageW(list, LB_GETCURSEL, 0, 0));
    if (index < 0 || index >= count) return;
    if (at == index) {
        if (SendMessageW(list, LB_GETTOPINDEX, 0, 0) != index) return;
        const auto line = static_cast<int>(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
        game_->mouse_click(list, POINT{4, line / 2}, next_way(Choice::list_click, 2) == 1);
        return;
    }
    if (at < 0) {
        game_->key(list, VK_HOME);
        at = 0;
    }
    for (; at != index; at += index > at ? 1 : -1) game_->key(list, index > at ? VK_DOWN : VK_UP);
}

// A menu item by the key its label names ("F3"), pressed where the keyboard is, or by a
// click on it.
void Transport::menu(MenuItem item) {
    const std::string& label = labels_[item];
    const std::size_t key = label.find("\tF");
    if (key == std::string::npos || menu_turns_[static_cast<std::size_t>(item)]++ % 2 == 1) {
        PostMessageW(game_->window(), WM_COMMAND, MAKEWPARAM(win32::menu_id(item), 0), 0);
        return;
    }
    HWND focus = game_->focus();
    game_->key(focus != nullptr ? focus : game_->window(),
               static_cast<WPARAM>(VK_F1 + number(label.substr(key + 2)) - 1));
}

// The window is closed as a player closes it (its close box, Alt+F4) or as the taskbar or
// another program asks; from inside a box, as the taskbar or another program asks. The
// game ends at once with exit code 0, and opens no window on its way out.
void Transport::close(bool in_box) {
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
    switch (in_box ? 1 : next_way(Choice::close, 3)) {
        case 0: PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0); break;
        case 1: PostMessageW(window, WM_CLOSE, 0, 0); break;
        default: game_->key(game_->focus() != nullptr ? game_->focus() : window, VK_F4, true);
    }
    const bool ended =
        wait_until([&] { return news(), game_->exit_code().has_value(); }, setup_.answer_ms);
    Sleep(100);  // the last events on their way
    news();
    UnhookWinEvent(hook);
    expect(ended, "the window was closed but the game still runs after " +
                      std::to_string(setup_.answer_ms) + " ms");
    expect(hook != nullptr && created == 0, "a window opened after the close");
    const DWORD code = *game_->exit_code();
    game_.reset();
    expect(code == 0, "the game ended with exit code " + std::to_string(code));
}

// ---- What the game shows ----

std::map<MenuItem, std::string> Transport::menu_labels() const {
    std::map<MenuItem, std::string> labels;
    for (const MenuItemSpec& item : kMenuItems) labels[item.id] = game_->menu_label(item.id);
    return labels;
}

// A trace line reads: trace:mmio:MMIO_Open ("sound\\door.wav", ...), with the path's
// backslashes doubled; a cue found beside casino.exe is named as the game names it.
void Transport::read_cues(std::vector<std::string>& seen) {
    char buffer[4096];
    DWORD got = 0;
    while (trace_ != INVALID_HANDLE_VALUE &&
           ReadFile(trace_, buffer, sizeof buffer, &got, nullptr) && got > 0) {
        traced_.append(buffer, got);
    }
    for (std::size_t end; (end = traced_.find('\n')) != std::string::npos;) {
        std::string line = traced_.substr(0, end);
        traced_.erase(0, end + 1);
        // Each line starts with the number of the thread that wrote it.
        line.erase(0, line.find_first_not_of("0123456789abcdef"));
        expect(line.starts_with(":trace:mmio:"), "Wine wrote on stderr: " + line);
        constexpr std::string_view kOpen = ":trace:mmio:MMIO_Open (\"";
        if (!line.starts_with(kOpen)) continue;
        std::string path;
        for (std::size_t i = kOpen.size(); i < line.size() && line[i] != '"'; ++i) {
            if (line[i] == '\\') ++i;
            if (i < line.size()) path += line[i];
        }
        if (!data_prefix_.empty() && path.size() > data_prefix_.size() &&
            lstrcmpiA(path.substr(0, data_prefix_.size()).c_str(), data_prefix_.c_str()) == 0) {
            path.erase(0, data_prefix_.size());
        }
        seen.push_back("cue " + path);
    }
}

// Answers every box the game opens until it is idle again, or has ended; then the menu
// captions that changed.
std::vector<std::string> Transport::settle() {
    const std::string waited = " within " + std::to_string(setup_.answer_ms) + " ms";
    std::vector<std::string> seen;
    for (int boxes = 0;; ++boxes) {
        if (!game_->drain(setup_.answer_ms)) {
            expect(wait_until([&] { return game_->exit_code().has_value(); }, setup_.answer_ms),
                   "the game did not answer" + waited);
            break;
        }
        read_cues(seen);
        const std::optional<Box> box = game_->open_box();
        if (!box) break;
        expect(boxes < 200, "more than 200 boxes in one step");
        seen.push_back(box_line(*box));
        if (close_in_ == (box->input ? "ask" : "message")) {
            close_in_.reset();
            close(true);
            seen.emplace_back("quit");
            return seen;
        }
        if (box->input) {
            answer(*box);
        } else {
            check_message(*box);
            dismiss(*box);
        }
        expect(wait_until([&] { return IsWindow(box->hwnd) == FALSE; }, setup_.answer_ms),
               "the box [" + box->text + "] did not close" + waited);
    }
    read_cues(seen);
    if (const std::optional<DWORD> code = game_->exit_code()) {
        game_.reset();
        expect(*code == 0, "the game ended with exit code " + std::to_string(*code));
        seen.emplace_back("quit");
        return seen;
    }
    for (const auto& [item, label] : menu_labels()) {
        if (labels_[item] == label) continue;
        labels_[item] = label;
        seen.push_back("caption " + std::string(name_of(item)) + " " +
                       label.substr(0, label.find('\t')));
    }
    WIN32_FILE_ATTRIBUTE_DATA info{};
    expect(!GetFileAttributesExW(setup_.stderr_file.c_str(), GetFileExInfoStandard, &info) ||
               (info.nFileSizeLow == 0 && info.nFileSizeHigh == 0),
           "the game wrote on standard error");
    return seen;
}

// The controls shown and enabled, and which holds the keyboard, as a screen reader finds
// them; both lists' entries and highlights from the lists. Of the buttons only the one
// holding the keyboard wears the default button's border: Enter or Space acts on it.
std::vector<std::string> Transport::show() {
    // A box that has just closed gives the activation back to the window.
    wait_until([&] { return game_->active() == game_->window(); }, setup_.answer_ms);
    std::string visible = "visible", enabled = "enabled", keyboard = "keyboard";
    for (const ControlSpec& entry : kControls) {
        const std::optional<Spoken> said = spoken(game_->control(entry.id));
        expect(said.has_value(), std::string(entry.name) + " publishes nothing to a screen reader");
        const std::string name = " " + std::string(entry.name);
        if ((said->state & STATE_SYSTEM_INVISIBLE) == 0) visible += name;
        if ((said->state & STATE_SYSTEM_UNAVAILABLE) == 0) enabled += name;
        if ((said->state & STATE_SYSTEM_FOCUSED) != 0) keyboard += name;
    }
    expect(wait_until([&] { return game_->default_look_follows_keyboard(); }, 1000),
           "a button looks like the default without the keyboard, or the one with it does not");
    std::vector<std::string> lines{visible, enabled};
    for (const Control list : {Control::List1, Control::List2}) {
        std::string line(name_of(list));
        for (const std::string& entry : game_->list_items(list)) line += " [" + entry + "]";
        lines.push_back(line + " highlight=" + std::to_string(game_->list_highlight(list)));
    }
    lines.push_back(keyboard);
    return lines;
}

void Transport::picture(std::string_view name) {
    Sleep(400);  // let the window finish painting
    RECT r{};
    GetWindowRect(game_->window(), &r);
    std::printf("SHOT %s %ld %ld %ld %ld\n", std::string(name).c_str(), r.left, r.top,
                r.right - r.left, r.bottom - r.top);
    std::fflush(stdout);
    const std::wstring done = widen(name) + L".done";
    wait_until([&] { return GetFileAttributesW(done.c_str()) != INVALID_FILE_ATTRIBUTES; }, 20000);
    DeleteFileW(done.c_str());
}

// ---- The boxes ----

// A message box is the window's own, with only an OK button, and a screen reader reads it.
// It is dismissed in each of the ways a player has in turn.
void Transport::check_message(const Box& box) {
    expect(GetWindow(box.hwnd, GW_OWNER) == game_->window(),
           "the message box [" + box.text + "] is not owned by the window");
    HWND ok = GetDlgItem(box.hwnd, IDOK);
    expect(GetDlgItem(box.hwnd, IDCANCEL) == nullptr && ok != nullptr,
           "the message box [" + box.text + "] has other buttons than OK");
    const std::optional<Spoken> message = spoken(GetDlgItem(box.hwnd, kMessageTextId));
    expect(message && message->name == box.text, "a screen reader reads the message [" + box.text +
                                                     "] as [" +
                                                     (message ? message->name : "nothing") + "]");
}

void Transport::dismiss(const Box& box) {
    HWND ok = GetDlgItem(box.hwnd, IDOK);
    switch (next_way(Choice::dismiss, setup_.xinput ? 6 : 5)) {
        case 0: PostMessageW(box.hwnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0); break;
        case 1: game_->key(box.hwnd, VK_RETURN); break;
        case 2: game_->key(box.hwnd, VK_ESCAPE); break;
        case 3: PostMessageW(box.hwnd, WM_SYSCOMMAND, SC_CLOSE, 0); break;
        case 4: game_->key(ok, VK_SPACE); break;
        default: x_click(ok); break;
    }
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
    expect(game_->field_text(edit).empty(), "the input field does not start empty" + where);
    const ButtonCaptions& system = system_box_captions();
    expect(window_text(ok) == system.ok && window_text(cancel) == system.cancel,
           "the buttons read " + window_text(ok) + " / " + window_text(cancel) +
               ", not as the system's own" + where);
    expect(IsWindowEnabled(game_->window()) == FALSE,
           "the window is not disabled behind the input box" + where);
    RECT outer{};
    RECT inner{};
    GetWindowRect(game_->window(), &outer);
    GetWindowRect(box.hwnd, &inner);
    const RECT work = game_->work_area();
    const auto start = [](LONG from, LONG to, LONG size, LONG lo, LONG hi) {
        return std::max(lo, std::min(hi - size, from + (to - from - size) / 2));
    };
    const LONG x = start(outer.left, outer.right, inner.right - inner.left, work.left, work.right);
    const LONG y = start(outer.top, outer.bottom, inner.bottom - inner.top, work.top, work.bottom);
    expect(std::abs(inner.left - x) <= 1 && std::abs(inner.top - y) <= 1,
           "the box stands at " + std::to_string(inner.left) + "," + std::to_string(inner.top) +
               ", not centred over the window as far as the screen allows at " + std::to_string(x) +
               "," + std::to_string(y) + where);
    expect(inner.left >= work.left && inner.top >= work.top && inner.right <= work.right &&
               inner.bottom <= work.bottom,
           "the box is not wholly on the screen" + where);

    const std::string text = answers_.empty() ? std::string() : answers_.front();
    if (!answers_.empty()) answers_.pop_front();
    if (text.empty()) {
        switch (next_way(Choice::cancel, 4)) {
            case 0: PostMessageW(cancel, BM_CLICK, 0, 0); break;
            case 1: game_->key(edit, VK_ESCAPE); break;
            case 2: PostMessageW(box.hwnd, WM_SYSCOMMAND, SC_CLOSE, 0); break;
            default: PostMessageW(ok, BM_CLICK, 0, 0); break;
        }
        return;
    }
    const std::wstring wide = widen(text);
    const bool printable =
        std::all_of(wide.begin(), wide.end(), [](wchar_t ch) { return ch >= 0x20; });
    if (printable && wide.size() <= 40 && next_way(Choice::typing, 2) == 0) {
        for (const wchar_t ch : wide) PostMessageW(edit, WM_CHAR, ch, 1);
    } else {
        SendMessageTimeoutW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()),
                            SMTO_NORMAL, setup_.answer_ms, nullptr);
    }
    // Posted characters arrive after any sent message, so the field is watched instead.
    expect(
        wait_until([&] { return game_->field_text(edit) == text; }, setup_.answer_ms),
        "the field holds [" + game_->field_text(edit) + "] after [" + text + "] was typed" + where);
    const std::optional<Spoken> field = spoken(edit);
    expect(
        field && field->role == ROLE_SYSTEM_TEXT && field->name == box.text && field->value == text,
        "a screen reader reads the field as [" +
            (field ? field->name + " / " + field->value : "nothing") + "]" + where);
    switch (next_way(Choice::confirm, setup_.xinput ? 3 : 2)) {
        case 0: PostMessageW(ok, BM_CLICK, 0, 0); break;
        case 1: game_->key(edit, VK_RETURN); break;
        default: x_click(ok); break;
    }
}

// ---- Real X input, through the helper that reads our standard output ----

// Asks the helper for one X action, or a reading, and waits until it is done; returns
// what the helper wrote back.
std::string Transport::x_request(const std::string& action) {
    const int n = ++x_sequence_;
    std::printf("XINPUT %d %s\n", n, action.c_str());
    std::fflush(stdout);
    const std::wstring done = L"xinput-" + std::to_wstring(n) + L".done";
    expect(wait_until([&] { return GetFileAttributesW(done.c_str()) != INVALID_FILE_ATTRIBUTES; },
                      5000),
           "the X input helper did not answer");
    char answer[64] = {};
    if (FILE* file = _wfopen(done.c_str(), L"r")) {
        if (std::fgets(answer, sizeof answer, file) == nullptr) answer[0] = '\0';
        std::fclose(file);
    }
    DeleteFileW(done.c_str());
    return answer;
}

// Wine reads the X events as they come, and a message posted after them could overtake
// them: the click is made to have landed (the button pressed and let go) before going on.
void Transport::x_click(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    x_request("click " + std::to_string((r.left + r.right) / 2) + " " +
              std::to_string((r.top + r.bottom) / 2));
    Sleep(50);
}

// Wine does not tell one process the times of another, so the helper reads them from Linux.
double Transport::cpu_ms() {
    return setup_.xinput ? std::strtod(x_request("cpu").c_str(), nullptr) : 0;
}

}  // namespace casino::automation
