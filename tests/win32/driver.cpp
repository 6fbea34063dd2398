// Drives a running casino.exe from another process, through window messages only, and
// reads what the accessibility layer publishes of it.
#include "driver.h"

#include <oleacc.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace casino::automation {

Checks checks;
bool verbose = false;

bool Checks::check(bool ok, std::string_view what, std::string_view detail) {
    if (ok) {
        ++passed_;
    } else {
        ++failed_;
        std::printf("FAIL: %.*s%s%.*s\n", static_cast<int>(what.size()), what.data(),
                    detail.empty() ? "" : " -- ", static_cast<int>(detail.size()), detail.data());
        std::fflush(stdout);
    }
    return ok;
}

void Checks::require(bool ok, std::string_view what, std::string_view detail) {
    if (!check(ok, what, detail)) throw Fatal(std::string(what));
}

int screen_dpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

std::string window_text(HWND hwnd) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(
        static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
    return narrow(text);
}

namespace {

// Takes over a string the accessibility layer handed out.
std::string take(BSTR text) {
    if (text == nullptr) return {};
    std::string out = narrow(std::wstring_view(text, SysStringLen(text)));
    SysFreeString(text);
    return out;
}

}  // namespace

std::optional<Spoken> spoken(HWND hwnd) {
    IAccessible* object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(hwnd, static_cast<DWORD>(OBJID_CLIENT),
                                          __uuidof(IAccessible),
                                          reinterpret_cast<void**>(&object))) ||
        object == nullptr) {
        return std::nullopt;
    }
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    Spoken said;
    VARIANT role{};
    if (SUCCEEDED(object->get_accRole(self, &role)) && role.vt == VT_I4) said.role = role.lVal;
    VARIANT state{};
    if (SUCCEEDED(object->get_accState(self, &state)) && state.vt == VT_I4) said.state = state.lVal;
    BSTR text = nullptr;
    if (SUCCEEDED(object->get_accName(self, &text))) said.name = take(text);
    text = nullptr;
    if (SUCCEEDED(object->get_accValue(self, &text))) said.value = take(text);
    object->Release();
    return said;
}

namespace {

std::string class_name(HWND hwnd) {
    wchar_t name[64] = {};
    GetClassNameW(hwnd, name, 64);
    return narrow(name);
}

DWORD process_of(HWND hwnd) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    return pid;
}

std::vector<HWND> children(HWND parent) {
    std::vector<HWND> found;
    EnumChildWindows(
        parent,
        [](HWND hwnd, LPARAM list) {
            reinterpret_cast<std::vector<HWND>*>(list)->push_back(hwnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

std::vector<HWND> top_level_windows(DWORD pid) {
    struct Search {
        DWORD pid;
        std::vector<HWND> found;
    } search{pid, {}};
    EnumWindows(
        [](HWND hwnd, LPARAM data) {
            auto* s = reinterpret_cast<Search*>(data);
            if (process_of(hwnd) == s->pid) s->found.push_back(hwnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// A key message's lParam: repeat count 1, the key's scan code, and the transition bits.
LPARAM key_data(WPARAM virtual_key, bool up, bool alt = false) {
    const UINT scan = MapVirtualKeyW(static_cast<UINT>(virtual_key), MAPVK_VK_TO_VSC);
    LPARAM data = 1 | static_cast<LPARAM>(scan) << 16;
    if (alt) data |= LPARAM{1} << 29;
    if (up) data |= LPARAM{3} << 30;
    return data;
}

}  // namespace

// ---- Launching ----

Game::Game(const std::wstring& exe, const std::wstring& stderr_file) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    HANDLE error_file = INVALID_HANDLE_VALUE;
    if (!stderr_file.empty()) {
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        error_file =
            CreateFileW(stderr_file.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                        &inherit, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
        startup.hStdError = error_file;
    }
    std::wstring command = L"\"" + exe + L"\"";
    const BOOL started = CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr,
                                        error_file != INVALID_HANDLE_VALUE, 0, nullptr, nullptr,
                                        &startup, &process_);
    if (error_file != INVALID_HANDLE_VALUE) CloseHandle(error_file);
    checks.require(started != FALSE, "casino.exe starts", narrow(exe));
    const std::wstring caption = widen(kWindow.caption);
    const bool found = wait_until(
        [&] {
            for (HWND hwnd : top_level_windows(process_.dwProcessId)) {
                if (window_text(hwnd) == kWindow.caption && IsWindowVisible(hwnd)) {
                    window_ = hwnd;
                    return true;
                }
            }
            return false;
        },
        20000);
    checks.require(found, "the game's window opens with its caption");
    // The window is shown before its first control takes the focus.
    wait_until([&] { return focus() != nullptr; });
    sync();
    find_controls();
}

Game::~Game() {
    if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(process_.hProcess, 99);
        WaitForSingleObject(process_.hProcess, 5000);
    }
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
}

// Buttons are found by their captions, the two lists by their class and place.
void Game::find_controls() {
    const int dpi = screen_dpi();
    for (HWND hwnd : children(window_)) {
        const std::string cls = class_name(hwnd);
        const std::string caption = window_text(hwnd);
        for (const ControlSpec& entry : kControls) {
            HWND& slot = controls_[static_cast<std::size_t>(entry.id)];
            if (entry.kind == ControlKind::Button && lstrcmpiA(cls.c_str(), "Button") == 0 &&
                caption == entry.caption) {
                slot = hwnd;
            }
            if (entry.kind == ControlKind::ListBox && lstrcmpiA(cls.c_str(), "ListBox") == 0) {
                RECT r{};
                GetWindowRect(hwnd, &r);
                MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&r), 2);
                if (r.top == twips_to_pixels(entry.top, dpi)) slot = hwnd;
            }
        }
    }
    for (const ControlSpec& entry : kControls) {
        checks.require(control(entry.id) != nullptr, "control found", entry.name);
    }
}

DWORD Game::wait_exit(int timeout_ms) {
    checks.require(
        WaitForSingleObject(process_.hProcess, static_cast<DWORD>(timeout_ms)) == WAIT_OBJECT_0,
        "the process ends");
    DWORD code = 0;
    GetExitCodeProcess(process_.hProcess, &code);
    return code;
}

std::optional<DWORD> Game::exit_code() const {
    if (WaitForSingleObject(process_.hProcess, 0) != WAIT_OBJECT_0) return std::nullopt;
    DWORD code = 0;
    GetExitCodeProcess(process_.hProcess, &code);
    return code;
}

bool Game::answers(int timeout_ms) const {
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(window_, WM_NULL, 0, 0, SMTO_NORMAL | SMTO_ABORTIFHUNG,
                               static_cast<UINT>(timeout_ms), &result) != 0;
}

double Game::cpu_ms() const {
    FILETIME created{};
    FILETIME ended{};
    FILETIME kernel{};
    FILETIME user{};
    if (!GetProcessTimes(process_.hProcess, &created, &ended, &kernel, &user)) return 0;
    const auto ticks = [](const FILETIME& t) {
        return static_cast<double>((static_cast<ULONGLONG>(t.dwHighDateTime) << 32) |
                                   t.dwLowDateTime);
    };
    return (ticks(kernel) + ticks(user)) / 10000.0;
}

// ---- Reading ----

RECT Game::rect(Control c) const {
    RECT r{};
    GetWindowRect(control(c), &r);
    MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

HWND Game::focus() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(process_.dwThreadId, &info);
    return info.hwndFocus;
}

// The window answers a registered message with the item's text in a global atom and
// its command id (see menu_query.h).
std::pair<std::string, UINT> Game::menu_item(int menu, int item) const {
    DWORD_PTR answer = 0;
    SendMessageTimeoutW(window_, win32::menu_query_message(), MAKEWPARAM(menu, item), 0,
                        SMTO_NORMAL, 5000, &answer);
    const auto atom = static_cast<ATOM>(LOWORD(answer));
    if (atom == 0) return {};
    wchar_t text[256] = {};
    GlobalGetAtomNameW(atom, text, 256);
    GlobalDeleteAtom(atom);
    return {narrow(text), HIWORD(answer)};
}

std::vector<std::string> Game::list_items(Control list) const {
    std::vector<std::string> items;
    const auto count = SendMessageW(control(list), LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        wchar_t text[256] = {};
        SendMessageW(control(list), LB_GETTEXT, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(text));
        items.push_back(narrow(text));
    }
    return items;
}

int Game::list_highlight(Control list) const {
    return static_cast<int>(SendMessageW(control(list), LB_GETCURSEL, 0, 0));
}

int Game::list_line_height(Control list) const {
    return static_cast<int>(SendMessageW(control(list), LB_GETITEMHEIGHT, 0, 0));
}

bool Game::looks_default(Control c) const {
    return (GetWindowLongW(control(c), GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
}

// Wine passes the message's RECT pointer between processes as it is, so the RECT is
// written into the game's own memory first.
void Game::change_dpi(int dpi, const RECT& suggested) {
    void* remote = VirtualAllocEx(process_.hProcess, nullptr, sizeof suggested,
                                  MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    checks.require(remote != nullptr, "memory in the game for the suggested frame");
    WriteProcessMemory(process_.hProcess, remote, &suggested, sizeof suggested, nullptr);
    DWORD_PTR result = 0;
    const LRESULT sent =
        SendMessageTimeoutW(window_, WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                            reinterpret_cast<LPARAM>(remote), SMTO_NORMAL, 5000, &result);
    VirtualFreeEx(process_.hProcess, remote, 0, MEM_RELEASE);
    checks.require(sent != 0, "the game takes the dpi change");
    sync();
}

// ---- Input ----

void Game::click(Control c) { PostMessageW(control(c), BM_CLICK, 0, 0); }

void Game::key(HWND target, WPARAM virtual_key) {
    PostMessageW(target, WM_KEYDOWN, virtual_key, key_data(virtual_key, false));
    PostMessageW(target, WM_KEYUP, virtual_key, key_data(virtual_key, true));
}

void Game::character(HWND target, wchar_t ch) { PostMessageW(target, WM_CHAR, ch, 1); }

void Game::alt_f4() {
    HWND target = focus() != nullptr ? focus() : window_;
    PostMessageW(target, WM_SYSKEYDOWN, VK_F4, key_data(VK_F4, false, true));
    PostMessageW(target, WM_SYSKEYUP, VK_F4, key_data(VK_F4, true, true));
}

// What the close box and the system menu's close item send.
void Game::system_close() { PostMessageW(window_, WM_SYSCOMMAND, SC_CLOSE, 0); }

// Chooses a menu item by its caption, as a click on it would.
void Game::menu_command(std::string_view caption) {
    for (const MenuSpec& menu : kMenus) {
        for (int i = 0; i < menu.item_count; ++i) {
            const auto [text, id] = menu_item(static_cast<int>(&menu - kMenus.data()), i);
            if (text.substr(0, caption.size()) != caption) continue;
            PostMessageW(window_, WM_COMMAND, MAKEWPARAM(id, 0), 0);
            return;
        }
    }
    checks.require(false, "menu item found", caption);
}

// ---- New windows ----

namespace {

int windows_created = 0;  // one watch at a time: the hook's callback has no other context

void CALLBACK window_created(HWINEVENTHOOK, DWORD, HWND, LONG object, LONG child, DWORD, DWORD) {
    if (object == OBJID_WINDOW && child == CHILDID_SELF) ++windows_created;
}

}  // namespace

WindowsCreated::WindowsCreated(HWND game_window) {
    DWORD process = 0;
    GetWindowThreadProcessId(game_window, &process);
    windows_created = 0;
    hook_ = SetWinEventHook(EVENT_OBJECT_CREATE, EVENT_OBJECT_CREATE, nullptr, &window_created,
                            process, 0, WINEVENT_OUTOFCONTEXT);
    checks.require(hook_ != nullptr, "the accessibility layer tells of new windows");
}

WindowsCreated::~WindowsCreated() { UnhookWinEvent(hook_); }

int WindowsCreated::count() {
    MSG msg{};
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    return windows_created;
}

// ---- Boxes ----

// Opens a message box with OK and Cancel in this process and reads its buttons.
const ButtonCaptions& system_box_captions() {
    static const ButtonCaptions captions = [] {
        constexpr wchar_t kTitle[] = L"casino_automation: the system's buttons";
        // A thread of its own shows the box (the toolchain's win32 thread model has no
        // std::thread).
        HANDLE box = CreateThread(
            nullptr, 0,
            [](LPVOID title) -> DWORD {
                MessageBoxW(nullptr, L"", static_cast<const wchar_t*>(title), MB_OKCANCEL);
                return 0;
            },
            const_cast<wchar_t*>(kTitle), 0, nullptr);
        HWND hwnd = nullptr;
        // The box is shown once its buttons exist.
        wait_until([&] {
            hwnd = FindWindowW(L"#32770", kTitle);
            return hwnd != nullptr && IsWindowVisible(hwnd);
        });
        ButtonCaptions read{window_text(GetDlgItem(hwnd, IDOK)),
                            window_text(GetDlgItem(hwnd, IDCANCEL))};
        PostMessageW(hwnd, WM_COMMAND, IDCANCEL, 0);
        WaitForSingleObject(box, INFINITE);
        CloseHandle(box);
        return read;
    }();
    return captions;
}

std::optional<Box> Game::find_box() const {
    for (HWND hwnd : top_level_windows(process_.dwProcessId)) {
        if (class_name(hwnd) != "#32770" || window_text(hwnd) != kAppTitle) continue;
        Box box{hwnd, false, {}};
        for (HWND child : children(hwnd)) {
            if (lstrcmpiA(class_name(child).c_str(), "Edit") == 0) box.input = true;
        }
        // The message box keeps its text in the static with id 0xFFFF; the input box its
        // prompt in the first static.
        HWND text = GetDlgItem(hwnd, box.input ? win32::kInputPromptId : 0xFFFF);
        box.text = window_text(text);
        return box;
    }
    return std::nullopt;
}

std::optional<Box> Game::next_box(int timeout_ms) {
    std::optional<Box> box;
    wait_until([&] { return (box = find_box()).has_value(); }, timeout_ms);
    // A box is found as soon as it exists, perhaps before its text and its edit field do;
    // once it is shown, it has them.
    if (box && wait_until([&] { return IsWindowVisible(box->hwnd) != FALSE; }, 2000)) {
        box = find_box();
    }
    if (verbose) {
        std::printf("  %6.2f %s: %s\n", static_cast<double>(GetTickCount64() % 1000000) / 1000.0,
                    box ? (box->input ? "ask" : "message") : "no box",
                    box ? box->text.c_str() : "");
        std::fflush(stdout);
    }
    return box;
}

// Once a box has gone, a sent message is answered either by the main loop, with the
// action finished, or by the next box's loop, with that box already created.
void Game::sync() {
    DWORD_PTR result = 0;
    checks.require(SendMessageTimeoutW(window_, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result) != 0,
                   "the game answers messages");
}

void Game::close_box(const Box& box, int command) {
    PostMessageW(box.hwnd, WM_COMMAND, MAKEWPARAM(command, BN_CLICKED), 0);
    checks.require(wait_until([&] { return IsWindow(box.hwnd) == FALSE; }), "the box closes",
                   box.text);
    sync();
}

std::string Game::expect_message(std::string_view context) {
    const std::optional<Box> box = next_box();
    checks.require(box.has_value(), "a message box appears", context);
    checks.require(!box->input, "a message box, not an input box", box->text);
    checks.check(GetWindow(box->hwnd, GW_OWNER) == window_,
                 "the message box is owned by the window");
    int buttons = 0;
    for (HWND child : children(box->hwnd)) {
        if (lstrcmpiA(class_name(child).c_str(), "Button") == 0) ++buttons;
    }
    checks.check(buttons == 1, "the message box has only an OK button", box->text);
    const std::optional<Spoken> message = spoken(GetDlgItem(box->hwnd, 0xFFFF));
    checks.check(message && message->name == box->text, "a screen reader reads the message",
                 message ? message->name : "nothing published");
    close_box(*box, IDOK);
    return box->text;
}

// An input box stands centred over the window as far as the screen allows, and always
// wholly within the work area of the window's screen.
void Game::check_box_placement(HWND box) const {
    RECT outer{};
    RECT inner{};
    GetWindowRect(window_, &outer);
    GetWindowRect(box, &inner);
    const RECT work = work_area();
    const auto expected_start = [](LONG from, LONG to, LONG size, LONG lo, LONG hi) {
        return std::max(lo, std::min(hi - size, from + (to - from - size) / 2));
    };
    const LONG width = inner.right - inner.left;
    const LONG height = inner.bottom - inner.top;
    const LONG x = expected_start(outer.left, outer.right, width, work.left, work.right);
    const LONG y = expected_start(outer.top, outer.bottom, height, work.top, work.bottom);
    checks.check(std::abs(inner.left - x) <= 1 && std::abs(inner.top - y) <= 1,
                 "the input box is centred over the window as far as the screen allows",
                 "at " + std::to_string(inner.left) + "," + std::to_string(inner.top) +
                     ", expected " + std::to_string(x) + "," + std::to_string(y));
    checks.check(inner.left >= work.left && inner.top >= work.top && inner.right <= work.right &&
                     inner.bottom <= work.bottom,
                 "the input box is wholly on the screen");
}

RECT Game::work_area() const {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    GetMonitorInfoW(MonitorFromWindow(window_, MONITOR_DEFAULTTONEAREST), &info);
    return info.rcWork;
}

void Game::move_to(Placement where) {
    RECT r{};
    GetWindowRect(window_, &r);
    const RECT work = work_area();
    LONG x = work.left;
    LONG y = work.top;
    if (where == Placement::Middle) {
        x = work.left + (work.right - work.left - (r.right - r.left)) / 2;
        y = work.top + (work.bottom - work.top - (r.bottom - r.top)) / 2;
    }
    SetWindowPos(window_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    sync();
    GetWindowRect(window_, &r);
    checks.require(r.left == x && r.top == y, "the window moves where the driver puts it",
                   std::to_string(r.left) + "," + std::to_string(r.top));
}

void Game::type_into(const Box& box, std::string_view text) {
    const std::wstring wide = widen(text);
    SendMessageW(GetDlgItem(box.hwnd, win32::kInputEditId), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>(wide.c_str()));
}

void Game::answer(std::string_view prompt, std::string_view text, Submit how) {
    const std::optional<Box> box = next_box();
    checks.require(box.has_value() && box->input, "an input box appears", prompt);
    checks.check(box->text == prompt, "the input box asks",
                 box->text + " / expected " + std::string(prompt));
    checks.check(window_text(GetDlgItem(box->hwnd, win32::kInputEditId)).empty(),
                 "the input field starts empty");
    const ButtonCaptions& system = system_box_captions();
    const std::string ok = window_text(GetDlgItem(box->hwnd, IDOK));
    const std::string cancel = window_text(GetDlgItem(box->hwnd, IDCANCEL));
    checks.check(ok == system.ok && cancel == system.cancel,
                 "the input box's buttons read as the system's own", ok + " / " + cancel);
    checks.check(IsWindowEnabled(window_) == FALSE,
                 "the window is disabled while the input box is open");
    check_box_placement(box->hwnd);
    type_into(*box, text);
    HWND edit = GetDlgItem(box->hwnd, win32::kInputEditId);
    // A screen reader names the field after the prompt beside it, and reads what was typed.
    const std::optional<Spoken> field = spoken(edit);
    checks.check(
        field && field->role == ROLE_SYSTEM_TEXT && field->name == prompt && field->value == text,
        "a screen reader reads the input field",
        field ? field->name + " / " + field->value : "nothing published");
    switch (how) {
        case Submit::OkButton: PostMessageW(GetDlgItem(box->hwnd, IDOK), BM_CLICK, 0, 0); break;
        case Submit::CancelButton:
            PostMessageW(GetDlgItem(box->hwnd, IDCANCEL), BM_CLICK, 0, 0);
            break;
        case Submit::EnterKey: key(edit, VK_RETURN); break;
        case Submit::EscapeKey: key(edit, VK_ESCAPE); break;
    }
    checks.require(wait_until([&] { return IsWindow(box->hwnd) == FALSE; }),
                   "the input box closes");
    sync();
}

void Game::expect_idle(std::string_view context) {
    sync();
    const std::optional<Box> box = find_box();
    if (!checks.check(!box.has_value(), "no further box",
                      std::string(context) + ": " + (box ? box->text : ""))) {
        close_box(*box, box->input ? IDCANCEL : IDOK);
    }
}

int Game::balance() {
    key_on_focus(VK_F3);
    const std::string text = expect_message("balance");
    constexpr std::string_view head = "у тебя";
    constexpr std::string_view tail = " баксов.";
    const bool framed =
        text.size() > head.size() + tail.size() && text.starts_with(head) && text.ends_with(tail);
    checks.require(framed, "the balance reads у тебя<N> баксов.", text);
    const std::string digits = text.substr(head.size(), text.size() - head.size() - tail.size());
    checks.require(digits.find_first_not_of("-0123456789") == std::string::npos,
                   "the balance is plain digits", text);
    return std::stoi(digits);
}

}  // namespace casino::automation
