// Drives a running casino.exe from another process, through window messages only, and
// reads what the window and the accessibility layer show of it.
#include "driver.h"

#include <oleacc.h>

#include <algorithm>

#include "input_box.h"
#include "window_parts.h"
#include "menu_query.h"

namespace casino::automation {

Checks checks;

bool Checks::check(bool ok, std::string_view what, std::string_view detail) {
    if (ok) {
        ++passed_;
    } else {
        failures_.push_back(std::string(what) + (detail.empty() ? "" : " -- ") +
                            std::string(detail));
    }
    return ok;
}

void Checks::require(bool ok, std::string_view what, std::string_view detail) {
    if (!check(ok, what, detail)) throw Fatal(failures_.back());
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
        startup.hStdInput = nullptr;
        startup.hStdOutput = nullptr;
        startup.hStdError = error_file;
    }
    std::wstring command = L"\"" + exe + L"\"";
    const BOOL started = CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr,
                                        error_file != INVALID_HANDLE_VALUE, 0, nullptr, nullptr,
                                        &startup, &process_);
    const DWORD error = GetLastError();
    if (error_file != INVALID_HANDLE_VALUE) CloseHandle(error_file);
    checks.require(started != FALSE, "casino.exe starts",
                   narrow(exe) + ", error " + std::to_string(error));
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
    marker_ = widen(menu_title(0));
    for (const ControlSpec& entry : kControls) {
        checks.require(control(entry.id) != nullptr, "control found", entry.name);
    }
}

Game::~Game() {
    if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(process_.hProcess, 99);
        WaitForSingleObject(process_.hProcess, 5000);
    }
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
}

HWND Game::control(Control c) const {
    return GetDlgItem(window_, win32::kFirstControlId + static_cast<int>(c));
}

std::optional<Control> Game::control_of(HWND hwnd) const {
    for (const ControlSpec& entry : kControls) {
        if (hwnd != nullptr && control(entry.id) == hwnd) return entry.id;
    }
    return std::nullopt;
}

DWORD Game::wait_exit(int timeout_ms) const {
    checks.require(
        WaitForSingleObject(process_.hProcess, static_cast<DWORD>(timeout_ms)) == WAIT_OBJECT_0,
        "the process ends");
    return exit_code().value_or(STILL_ACTIVE);
}

std::optional<DWORD> Game::exit_code() const {
    if (WaitForSingleObject(process_.hProcess, 0) != WAIT_OBJECT_0) return std::nullopt;
    DWORD code = 0;
    GetExitCodeProcess(process_.hProcess, &code);
    return code;
}

void Game::sync() const {
    DWORD_PTR result = 0;
    checks.require(SendMessageTimeoutW(window_, WM_NULL, 0, 0, SMTO_NORMAL | SMTO_ABORTIFHUNG,
                                       10000, &result) != 0,
                   "the game answers messages");
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

std::string Game::menu_label(MenuItem item) const {
    const int index = static_cast<int>(item);
    for (const MenuSpec& menu : kMenus) {
        if (index < menu.first_item || index >= menu.first_item + menu.item_count) continue;
        return narrow(win32::ask_menu_text(window_, static_cast<int>(&menu - kMenus.data()),
                                           static_cast<UINT>(index - menu.first_item), 5000)
                          .value_or(L""));
    }
    return {};
}

std::string Game::menu_title(int menu) const {
    return narrow(win32::ask_menu_text(window_, menu, win32::kMenuTitleItem, 5000).value_or(L""));
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

// GetWindowText would not ask another process's edit field for its text.
std::string Game::field_text(HWND edit) const {
    DWORD_PTR length = 0;
    SendMessageTimeoutW(edit, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 2000, &length);
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(edit, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                        SMTO_NORMAL, 2000, &copied);
    text.resize(std::min<std::size_t>(copied, length));
    return narrow(text);
}

bool Game::looks_default(Control c) const {
    return (GetWindowLongW(control(c), GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
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

void Game::mouse_click(HWND target, POINT at, bool twice) const {
    const LPARAM where = MAKELPARAM(at.x, at.y);
    PostMessageW(target, WM_LBUTTONDOWN, MK_LBUTTON, where);
    PostMessageW(target, WM_LBUTTONUP, 0, where);
    if (!twice) return;
    PostMessageW(target, WM_LBUTTONDBLCLK, MK_LBUTTON, where);
    PostMessageW(target, WM_LBUTTONUP, 0, where);
}

void Game::key(HWND target, WPARAM virtual_key) const {
    PostMessageW(target, WM_KEYDOWN, virtual_key, key_data(virtual_key, false));
    PostMessageW(target, WM_KEYUP, virtual_key, key_data(virtual_key, true));
}

void Game::alt_f4() const {
    HWND target = focus() != nullptr ? focus() : window_;
    PostMessageW(target, WM_SYSKEYDOWN, VK_F4, key_data(VK_F4, false, true));
    PostMessageW(target, WM_SYSKEYUP, VK_F4, key_data(VK_F4, true, true));
}

void Game::choose(MenuItem item) const {
    PostMessageW(window_, WM_COMMAND, MAKEWPARAM(win32::kFirstMenuId + static_cast<int>(item), 0),
                 0);
}

// ---- Boxes and progress ----

std::optional<Box> Game::open_box() const {
    for (HWND hwnd : top_level_windows(process_.dwProcessId)) {
        if (class_name(hwnd) != "#32770" || window_text(hwnd) != kAppTitle) continue;
        // A box is found as soon as it exists, perhaps before its text and its edit field
        // do; once it is shown, it has them.
        wait_until([&] { return IsWindowVisible(hwnd) != FALSE || IsWindow(hwnd) == FALSE; }, 2000);
        if (IsWindow(hwnd) == FALSE) continue;
        Box box{hwnd, GetDlgItem(hwnd, win32::kInputEditId) != nullptr, {}};
        box.text =
            window_text(GetDlgItem(hwnd, box.input ? win32::kInputPromptId : kMessageTextId));
        return box;
    }
    return std::nullopt;
}

void Game::close_box(const Box& box, int command) {
    PostMessageW(box.hwnd, WM_COMMAND, MAKEWPARAM(command, BN_CLICKED), 0);
    checks.require(wait_until([&] { return IsWindow(box.hwnd) == FALSE; }), "the box closes",
                   box.text);
    sync();
}

// The window answers a menu query by leaving the title's text in a global atom; posted
// behind the input, the query is taken only once the input has been handled or has
// opened a box, whose own loop takes it. Twice, because handling a key posts its
// character behind the first query.
bool Game::drain(int timeout_ms) const {
    for (int round = 0; round < 2; ++round) {
        if (!win32::post_menu_query(window_)) return false;
        bool taken = false;
        wait_until(
            [&] {
                const ATOM atom = GlobalFindAtomW(marker_.c_str());
                if (atom == 0) return exit_code().has_value();  // a game that ends answers none
                while (GlobalFindAtomW(marker_.c_str()) != 0) GlobalDeleteAtom(atom);
                return taken = true;
            },
            timeout_ms);
        if (!taken) return false;
    }
    return true;
}

// ---- New windows ----

namespace {

int windows_created = 0;  // one watch at a time: the hook's callback has no other context

void CALLBACK window_created(HWINEVENTHOOK, DWORD, HWND, LONG object, LONG child, DWORD, DWORD) {
    if (object == OBJID_WINDOW && child == CHILDID_SELF) ++windows_created;
}

}  // namespace

WindowsCreated::WindowsCreated(HWND game_window) {
    windows_created = 0;
    hook_ = SetWinEventHook(EVENT_OBJECT_CREATE, EVENT_OBJECT_CREATE, nullptr, &window_created,
                            process_of(game_window), 0, WINEVENT_OUTOFCONTEXT);
    checks.require(hook_ != nullptr, "the accessibility layer tells of new windows");
}

WindowsCreated::~WindowsCreated() { UnhookWinEvent(hook_); }

int WindowsCreated::count() {
    MSG msg{};
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    return windows_created;
}

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

}  // namespace casino::automation
