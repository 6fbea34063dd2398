// The Windows program's transport (see transport.h).
#include "transport.h"

#include <oleacc.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "input_box.h"
#include "support/names.h"
#include "support/script_words.h"

namespace casino::automation {
namespace {

int number(std::string_view text) {
    return static_cast<int>(std::strtol(std::string(text).c_str(), nullptr, 10));
}

POINT centre_of(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

POINT client_centre(HWND hwnd) {
    RECT r{};
    GetClientRect(hwnd, &r);
    return {r.right / 2, r.bottom / 2};
}

}  // namespace

// ---- Wine's trace ----

WineTrace::WineTrace(const std::wstring& file) {
    if (file.empty()) return;
    file_ = CreateFileW(file.c_str(), GENERIC_READ,
                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file_ == INVALID_HANDLE_VALUE) throw Fatal("cannot read Wine's trace " + narrow(file));
}

WineTrace::~WineTrace() {
    if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
}

// A trace line reads: trace:mmio:MMIO_Open ("sound\\door.wav", ...), with the path's
// backslashes doubled.
std::vector<std::string> WineTrace::opened() {
    std::vector<std::string> paths;
    if (file_ == INVALID_HANDLE_VALUE) return paths;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file_, buffer, sizeof buffer, &got, nullptr) && got > 0) {
        pending_.append(buffer, got);
    }
    for (std::size_t end; (end = pending_.find('\n')) != std::string::npos;) {
        std::string line = pending_.substr(0, end);
        pending_.erase(0, end + 1);
        // Each line starts with the number of the thread that wrote it.
        line.erase(0, line.find_first_not_of("0123456789abcdef"));
        if (!line.starts_with(":trace:mmio:")) throw Finding("Wine wrote on stderr: " + line);
        constexpr std::string_view kOpen = ":trace:mmio:MMIO_Open (\"";
        if (!line.starts_with(kOpen)) continue;
        std::string path;
        for (std::size_t i = kOpen.size(); i < line.size() && line[i] != '"'; ++i) {
            if (line[i] == '\\') ++i;
            if (i < line.size()) path += line[i];
        }
        paths.push_back(path);
    }
    return paths;
}

// ---- The transport ----

Transport::Transport(TransportSetup setup) : setup_(std::move(setup)), trace_(setup_.trace_file) {
    const std::size_t slash = setup_.exe.find_last_of(L"\\/");
    if (slash != std::wstring::npos) data_prefix_ = narrow(setup_.exe.substr(0, slash + 1));
    trace_.opened();  // what came before is no cue of this game
}

Transport::~Transport() = default;

std::vector<std::string> Transport::perform(std::string_view line) {
    const std::vector<std::string_view> w = testing::script_words(line);
    const std::string_view verb = w.empty() ? std::string_view() : w[0];
    focus_at_input_ = game_ ? game_->control_of(game_->focus()) : std::nullopt;
    if (verb == "type") {
        answers_.emplace_back(line.size() > 5 ? line.substr(5) : std::string_view());
        return {};
    }
    if (verb == "clock" && w.size() == 2) {
        set_clock(w[1]);
        return {};
    }
    if (verb == "start") {
        start();
        return {};
    }
    if (verb == "stop") {
        game_.reset();
        return {};
    }
    if (!game_) throw Fatal("no game runs for: " + std::string(line));
    if (verb == "close") return close();
    const std::optional<Control> named = w.size() >= 2 ? testing::control_named(w[1]) : std::nullopt;
    const std::optional<MenuItem> item = w.size() == 2 ? testing::menu_item_named(w[1]) : std::nullopt;
    const Control target = named.value_or(Control::cmdexit);
    if (verb == "click" && w.size() == 2 && named) {
        click(target);
    } else if (verb == "key" && w.size() == 3 && named && is_list(target)) {
        key(target, number(w[2]));
    } else if (verb == "highlight" && w.size() == 3 && named && is_list(target)) {
        highlight(target, number(w[2]));
    } else if (verb == "menu" && item) {
        menu(item.value_or(MenuItem::help));
    } else {
        throw Fatal("the transport cannot perform: " + std::string(line));
    }
    return settle();
}

void Transport::start() {
    game_.reset();
    answers_.clear();
    trace_.opened();
    game_ = std::make_unique<Game>(setup_.exe, setup_.stderr_file);
    labels_ = menu_labels();
}

// libfaketime reads the file at every look at the clock; it is replaced whole, so that it
// is never seen half written.
void Transport::set_clock(std::string_view seconds) {
    const long t = std::strtol(std::string(seconds).c_str(), nullptr, 10) % 86400;
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "2026-12-07 %02ld:%02ld:%02ld\n", t / 3600, t / 60 % 60,
                  t % 60);
    const std::wstring part = setup_.clock_file + L".part";
    HANDLE file = CreateFileW(part.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    const bool ok =
        file != INVALID_HANDLE_VALUE &&
        WriteFile(file, stamp, static_cast<DWORD>(std::strlen(stamp)), &written, nullptr);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    if (!ok || !MoveFileExW(part.c_str(), setup_.clock_file.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        throw Fatal("cannot set the clock in " + narrow(setup_.clock_file));
    }
}

// ---- Input, as a player gives it ----

// A hidden or disabled control takes no input from a player.
void Transport::click(Control c) {
    if (!game_->shown(c) || is_list(c)) return;
    HWND button = game_->control(c);
    if (game_->focus() == button) {
        game_->key(button, next_way(Choice::press_focused, 2) == 0 ? VK_RETURN : VK_SPACE);
        return;
    }
    focus_at_input_ = c;
    switch (next_way(Choice::click, setup_.xinput ? 3 : 2)) {
        case 0: game_->click(c); break;
        case 1: game_->mouse_click(button, client_centre(button)); break;
        default: x_click(button); break;
    }
}

void Transport::key(Control list, int code) {
    if (!game_->shown(list)) return;
    HWND hwnd = game_->control(list);
    if (code == 13) {
        game_->key(hwnd, VK_RETURN);
    } else {
        game_->character(hwnd, static_cast<wchar_t>(code));
    }
}

// The arrow keys move the highlight (Home lights the first entry when none is); a click on
// the entry already highlighted, or a double click, leaves it where it is.
void Transport::highlight(Control list, int index) {
    const int count = static_cast<int>(game_->list_items(list).size());
    if (!game_->shown(list) || index < 0 || index >= count) return;
    HWND hwnd = game_->control(list);
    const int now = game_->list_highlight(list);
    if (now == index) {
        const int top = static_cast<int>(SendMessageW(hwnd, LB_GETTOPINDEX, 0, 0));
        if (top == index) {
            focus_at_input_ = list;
            game_->mouse_click(hwnd, POINT{4, game_->list_line_height(list) / 2},
                               next_way(Choice::list_click, 2) == 1);
        }
        return;
    }
    int at = now;
    if (at < 0) {
        game_->key(hwnd, VK_HOME);
        at = 0;
    }
    for (; at != index; at += index > at ? 1 : -1) game_->key(hwnd, index > at ? VK_DOWN : VK_UP);
}

// A menu item by its shortcut, where the keyboard is, or by a click on it.
void Transport::menu(MenuItem item) {
    WORD vk = 0;
    switch (spec_of(item).shortcut) {
        case Shortcut::F1: vk = VK_F1; break;
        case Shortcut::F2: vk = VK_F2; break;
        case Shortcut::F3: vk = VK_F3; break;
        case Shortcut::F5: vk = VK_F5; break;
        case Shortcut::None: break;
    }
    if (vk == 0 || next_way(Choice::menu, 2) == 0) {
        game_->choose(item);
        return;
    }
    HWND focus = game_->focus();
    game_->key(focus != nullptr ? focus : game_->window(), vk);
}

std::vector<std::string> Transport::close() {
    switch (next_way(Choice::close, 3)) {
        case 0: game_->system_close(); break;
        case 1: PostMessageW(game_->window(), WM_CLOSE, 0, 0); break;
        default: game_->alt_f4(); break;
    }
    if (!wait_until([&] { return game_->exit_code().has_value(); }, setup_.answer_ms)) {
        throw Finding("the window was closed but the game still runs after " +
                      std::to_string(setup_.answer_ms) + " ms");
    }
    const DWORD code = *game_->exit_code();
    game_.reset();
    if (code != 0) throw Finding("the game ended with exit code " + std::to_string(code));
    return {"quit"};
}

// ---- What the game shows ----

std::map<MenuItem, std::string> Transport::menu_labels() const {
    std::map<MenuItem, std::string> labels;
    for (const MenuItemSpec& item : kMenuItems) labels[item.id] = game_->menu_label(item.id);
    return labels;
}

void Transport::read_cues(std::vector<std::string>& seen) {
    for (std::string path : trace_.opened()) {
        if (!data_prefix_.empty() && path.size() > data_prefix_.size() &&
            lstrcmpiA(path.substr(0, data_prefix_.size()).c_str(), data_prefix_.c_str()) == 0) {
            path.erase(0, data_prefix_.size());
        }
        seen.push_back("cue " + path);
    }
}

// Answers every box the game opens until it is idle again, or has ended.
std::vector<std::string> Transport::settle() {
    std::vector<std::string> seen;
    for (int boxes = 0;; ++boxes) {
        if (!game_->drain(setup_.answer_ms)) {
            if (wait_until([&] { return game_->exit_code().has_value(); }, setup_.answer_ms)) break;
            throw Finding("the game did not answer within " + std::to_string(setup_.answer_ms) +
                          " ms");
        }
        read_cues(seen);
        const std::optional<Box> box = game_->open_box();
        if (!box) break;
        if (boxes > 200) throw Finding("more than 200 boxes in one step");
        seen.push_back((box->input ? "ask " : "message ") + box->text);
        if (box->input) {
            answer(*box);
        } else {
            check_message(*box);
            dismiss(*box);
        }
        if (!wait_until([&] { return IsWindow(box->hwnd) == FALSE; }, setup_.answer_ms)) {
            throw Finding("the box [" + box->text + "] did not close within " +
                          std::to_string(setup_.answer_ms) + " ms");
        }
    }
    read_cues(seen);
    if (const std::optional<DWORD> code = game_->exit_code()) {
        game_.reset();
        if (*code != 0) throw Finding("the game ended with exit code " + std::to_string(*code));
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
    if (!setup_.stderr_file.empty() &&
        GetFileAttributesExW(setup_.stderr_file.c_str(), GetFileExInfoStandard, &info) &&
        (info.nFileSizeLow != 0 || info.nFileSizeHigh != 0)) {
        throw Finding("the game wrote on standard error");
    }
    return seen;
}

// A message box is the window's own, with only an OK button, and a screen reader reads it.
void Transport::check_message(const Box& box) {
    checks.check(GetWindow(box.hwnd, GW_OWNER) == game_->window(),
                 "the message box is owned by the window", box.text);
    checks.check(GetDlgItem(box.hwnd, IDCANCEL) == nullptr && GetDlgItem(box.hwnd, IDOK) != nullptr,
                 "the message box has only an OK button", box.text);
    const std::optional<Spoken> message = spoken(GetDlgItem(box.hwnd, kMessageTextId));
    checks.check(message && message->name == box.text, "a screen reader reads the message",
                 message ? message->name : "nothing published");
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
    HWND edit = GetDlgItem(box.hwnd, win32::kInputEditId);
    checks.check(game_->field_text(edit).empty(), "the input field starts empty", box.text);
    const ButtonCaptions& system = system_box_captions();
    const std::string ok = window_text(GetDlgItem(box.hwnd, IDOK));
    const std::string cancel = window_text(GetDlgItem(box.hwnd, IDCANCEL));
    checks.check(ok == system.ok && cancel == system.cancel,
                 "the input box's buttons read as the system's own", ok + " / " + cancel);
    checks.check(IsWindowEnabled(game_->window()) == FALSE,
                 "the window is disabled while the input box is open");
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
    checks.check(std::abs(inner.left - x) <= 1 && std::abs(inner.top - y) <= 1,
                 "the input box is centred over the window as far as the screen allows",
                 std::to_string(inner.left) + "," + std::to_string(inner.top) + " for " +
                     std::to_string(x) + "," + std::to_string(y));
    checks.check(inner.left >= work.left && inner.top >= work.top && inner.right <= work.right &&
                     inner.bottom <= work.bottom,
                 "the input box is wholly on the screen");

    std::string text;
    if (!answers_.empty()) {
        text = std::move(answers_.front());
        answers_.pop_front();
    }
    if (text.empty()) {
        switch (next_way(Choice::cancel, 4)) {
            case 0: PostMessageW(GetDlgItem(box.hwnd, IDCANCEL), BM_CLICK, 0, 0); break;
            case 1: game_->key(edit, VK_ESCAPE); break;
            case 2: PostMessageW(box.hwnd, WM_SYSCOMMAND, SC_CLOSE, 0); break;
            default: PostMessageW(GetDlgItem(box.hwnd, IDOK), BM_CLICK, 0, 0); break;
        }
        return;
    }
    const bool printable = std::all_of(
        text.begin(), text.end(), [](char ch) { return static_cast<unsigned char>(ch) >= 0x20; });
    const std::wstring wide = widen(text);
    if (printable && wide.size() <= 40 && next_way(Choice::typing, 2) == 0) {
        for (const wchar_t ch : wide) game_->character(edit, ch);
    } else {
        SendMessageTimeoutW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()),
                            SMTO_NORMAL, setup_.answer_ms, nullptr);
    }
    // Posted characters arrive after any sent message, so the field is watched instead.
    if (!wait_until([&] { return game_->field_text(edit) == text; }, setup_.answer_ms)) {
        throw Finding("the input box holds [" + game_->field_text(edit) + "] after [" + text +
                      "] was typed");
    }
    const std::optional<Spoken> field = spoken(edit);
    checks.check(
        field && field->role == ROLE_SYSTEM_TEXT && field->name == box.text && field->value == text,
        "a screen reader reads the input field",
        field ? field->name + " / " + field->value : "nothing published");
    switch (next_way(Choice::confirm, setup_.xinput ? 3 : 2)) {
        case 0: PostMessageW(GetDlgItem(box.hwnd, IDOK), BM_CLICK, 0, 0); break;
        case 1: game_->key(edit, VK_RETURN); break;
        default: x_click(GetDlgItem(box.hwnd, IDOK)); break;
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
    if (!wait_until([&] { return GetFileAttributesW(done.c_str()) != INVALID_FILE_ATTRIBUTES; },
                    5000)) {
        throw Fatal("the X input helper did not answer");
    }
    std::string answer;
    if (FILE* file = _wfopen(done.c_str(), L"r")) {
        char text[64] = {};
        if (std::fgets(text, sizeof text, file) != nullptr) answer = text;
        std::fclose(file);
    }
    DeleteFileW(done.c_str());
    return answer;
}

// Wine reads the X events as they come, and a message posted after them could overtake
// them: the click is made to have landed (the button pressed and let go) before going on.
void Transport::x_click(HWND hwnd) {
    const POINT at = centre_of(hwnd);
    x_request("click " + std::to_string(at.x) + " " + std::to_string(at.y));
    Sleep(50);
}

// Wine does not tell one process the times of another, so the helper reads them from Linux.
double Transport::cpu_ms() {
    if (!setup_.xinput) return 0;
    return std::strtod(x_request("cpu").c_str(), nullptr);
}

}  // namespace casino::automation
