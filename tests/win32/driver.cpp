// Drives a running casino.exe from another process, through window messages only, and
// reads what the window and the accessibility layer show of it.
#include "driver.h"

#include <oleacc.h>

#include <algorithm>

#include "input_box.h"
#include "menu_query.h"
#include "window_parts.h"

namespace casino::automation {

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

std::string class_name(HWND hwnd) {
    wchar_t name[64] = {};
    GetClassNameW(hwnd, name, 64);
    return narrow(name);
}

namespace {

// Takes over a string the accessibility layer handed out.
std::string take(BSTR text) {
    if (text == nullptr) return {};
    std::string out = narrow(std::wstring_view(text, SysStringLen(text)));
    SysFreeString(text);
    return out;
}

// The shown top-level windows of the process with the class (any, when null) and title.
std::vector<HWND> windows_of(DWORD pid, const wchar_t* window_class, std::string_view title) {
    std::vector<HWND> found;
    const std::wstring wide = widen(title);
    for (HWND hwnd = nullptr; (hwnd = FindWindowExW(nullptr, hwnd, window_class, wide.c_str()));) {
        DWORD owner = 0;
        GetWindowThreadProcessId(hwnd, &owner);
        if (owner == pid) found.push_back(hwnd);
    }
    return found;
}

// A key message's lParam: repeat count 1, the key's scan code, and the transition bits.
LPARAM key_data(WPARAM virtual_key, bool up, bool alt) {
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
        startup.hStdError = error_file;
    }
    std::wstring command = L"\"" + exe + L"\"";
    const BOOL started = CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr,
                                        error_file != INVALID_HANDLE_VALUE, 0, nullptr, nullptr,
                                        &startup, &process_);
    const DWORD error = GetLastError();
    if (error_file != INVALID_HANDLE_VALUE) CloseHandle(error_file);
    expect(started != FALSE,
           "casino.exe does not start: " + narrow(exe) + ", error " + std::to_string(error));
    expect(wait_until(
               [&] {
                   for (HWND hwnd : windows_of(process_.dwProcessId, nullptr, kWindow.caption)) {
                       if (IsWindowVisible(hwnd)) window_ = hwnd;
                   }
                   return window_ != nullptr;
               },
               20000),
           "the game's window does not open with its caption");
    // The window is shown before its first control takes the focus.
    wait_until([&] { return focus() != nullptr; });
    sync();
    marker_ = widen(menu_title(0));
    for (const ControlSpec& entry : kControls) {
        expect(control(entry.id) != nullptr, "no control " + std::string(entry.name));
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

HWND Game::control(Control c) const { return GetDlgItem(window_, win32::control_id(c)); }

std::optional<DWORD> Game::exit_code() const {
    if (WaitForSingleObject(process_.hProcess, 0) != WAIT_OBJECT_0) return std::nullopt;
    DWORD code = 0;
    GetExitCodeProcess(process_.hProcess, &code);
    return code;
}

void Game::sync() const {
    DWORD_PTR result = 0;
    expect(SendMessageTimeoutW(window_, WM_NULL, 0, 0, SMTO_NORMAL | SMTO_ABORTIFHUNG, 10000,
                               &result) != 0,
           "the game does not answer messages");
}

GUITHREADINFO Game::thread_info() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(process_.dwThreadId, &info);
    return info;
}

// ---- Reading ----

bool Game::default_look_follows_keyboard() const {
    const HWND holder = focus();
    return std::all_of(kControls.begin(), kControls.end(), [&](const ControlSpec& entry) {
        HWND hwnd = control(entry.id);
        const bool looks = (GetWindowLongW(hwnd, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
        return is_list(entry.id) || looks == (hwnd == holder);
    });
}

std::string Game::menu_label(MenuItem item) const {
    const auto index = static_cast<int>(item);
    const auto menu = std::find_if(kMenus.begin(), kMenus.end(), [&](const MenuSpec& m) {
        return index < m.first_item + m.item_count;
    });
    return narrow(win32::ask_menu_text(window_, static_cast<int>(menu - kMenus.begin()),
                                       static_cast<UINT>(index - menu->first_item), 5000)
                      .value_or(L""));
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

RECT Game::work_area() const {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    GetMonitorInfoW(MonitorFromWindow(window_, MONITOR_DEFAULTTONEAREST), &info);
    return info.rcWork;
}

void Game::move_to(Placement where) {
    if (where == Placement::AsOpened) return;
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
    expect(r.left == x && r.top == y, "the window does not move where the driver puts it: " +
                                          std::to_string(r.left) + "," + std::to_string(r.top));
}

// Wine passes the message's RECT pointer between processes as it is, so the RECT is
// written into the game's own memory first.
void Game::change_dpi(int dpi, const RECT& suggested) {
    void* remote = VirtualAllocEx(process_.hProcess, nullptr, sizeof suggested,
                                  MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    expect(remote != nullptr, "no memory in the game for the suggested frame");
    WriteProcessMemory(process_.hProcess, remote, &suggested, sizeof suggested, nullptr);
    DWORD_PTR result = 0;
    const LRESULT sent =
        SendMessageTimeoutW(window_, WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                            reinterpret_cast<LPARAM>(remote), SMTO_NORMAL, 5000, &result);
    VirtualFreeEx(process_.hProcess, remote, 0, MEM_RELEASE);
    expect(sent != 0, "the game does not take the dpi change");
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

void Game::key(HWND target, WPARAM virtual_key, bool alt) const {
    PostMessageW(target, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, virtual_key,
                 key_data(virtual_key, false, alt));
    PostMessageW(target, alt ? WM_SYSKEYUP : WM_KEYUP, virtual_key,
                 key_data(virtual_key, true, alt));
}

// ---- Boxes and progress ----

std::optional<Box> Game::open_box() const {
    for (HWND hwnd : windows_of(process_.dwProcessId, L"#32770", kAppTitle)) {
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
