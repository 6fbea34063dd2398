// Drives a running casino.exe from another process, through window messages only, and
// reads what the window and the accessibility layer show of it.
#include "driver.h"

#include <oleacc.h>

#include <algorithm>

#include "input_box.h"
#include "menu_query.h"

namespace casino::automation {

// One message, with room for any text the game holds: each message to another process
// waits for its thread.
std::string text_of(HWND hwnd) {
    std::wstring text(1 << 16, L'\0');
    DWORD_PTR length = 0;
    SendMessageTimeoutW(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                        SMTO_NORMAL, 2000, &length);
    text.resize(std::min<std::size_t>(length, text.size()));
    return narrow(text);
}

RECT work_area(HWND hwnd) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    GetMonitorInfoW(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), &info);
    return info.rcWork;
}

POINT centred(const RECT& frame, const RECT& over, const RECT& within) {
    const auto start = [](LONG from, LONG to, LONG size, LONG lo, LONG hi) {
        return std::max(lo, std::min(hi - size, from + (to - from - size) / 2));
    };
    return {start(over.left, over.right, frame.right - frame.left, within.left, within.right),
            start(over.top, over.bottom, frame.bottom - frame.top, within.top, within.bottom)};
}

Spoken spoken(HWND hwnd, const std::string& what) {
    IAccessible* object = nullptr;
    expect(SUCCEEDED(AccessibleObjectFromWindow(hwnd, static_cast<DWORD>(OBJID_CLIENT),
                                                __uuidof(IAccessible),
                                                reinterpret_cast<void**>(&object))),
           what + " publishes nothing to a screen reader");
    VARIANT self{};
    self.vt = VT_I4;  // and lVal 0: CHILDID_SELF
    Spoken said;
    VARIANT role{}, state{};
    if (SUCCEEDED(object->get_accRole(self, &role)) && role.vt == VT_I4) said.role = role.lVal;
    if (SUCCEEDED(object->get_accState(self, &state)) && state.vt == VT_I4) said.state = state.lVal;
    for (const auto& [get, into] : {std::pair{&IAccessible::get_accName, &said.name},
                                    std::pair{&IAccessible::get_accValue, &said.value}}) {
        BSTR text = nullptr;
        if (SUCCEEDED((object->*get)(self, &text)) && text)
            *into = narrow({text, SysStringLen(text)});
        SysFreeString(text);
    }
    object->Release();
    return said;
}

// Read from a message box with OK and Cancel that this process opens: the box's own loop
// runs the timer, which reads the buttons and closes the box.
const std::string& system_caption(int button) {
    static std::map<int, std::string> captions;
    static constexpr wchar_t kTitle[] = L"casino_automation: the system's buttons";
    if (captions.empty()) {
        SetTimer(nullptr, 0, 10, [](HWND, UINT, UINT_PTR timer, DWORD) {
            HWND box = FindWindowW(L"#32770", kTitle);
            if (box == nullptr || IsWindowVisible(box) == FALSE) return;
            KillTimer(nullptr, timer);
            for (const int id : {IDOK, IDCANCEL}) captions[id] = text_of(GetDlgItem(box, id));
            PostMessageW(box, WM_COMMAND, IDCANCEL, 0);
        });
        MessageBoxW(nullptr, L"", kTitle, MB_OKCANCEL);
    }
    return captions.at(button);
}

namespace {

// The first top-level window of the process with the class (any, when null) and title.
HWND window_of(DWORD pid, const wchar_t* window_class, std::string_view title) {
    const std::wstring wide = widen(title);
    for (HWND hwnd = nullptr; (hwnd = FindWindowExW(nullptr, hwnd, window_class, wide.c_str()));) {
        DWORD owner = 0;
        GetWindowThreadProcessId(hwnd, &owner);
        if (owner == pid) return hwnd;
    }
    return nullptr;
}

std::string menu_text(HWND window, int menu, UINT item) {
    return narrow(win32::ask_menu_text(window, menu, item, 5000).value_or(L""));
}

}  // namespace

// ---- Launching ----

// The game inherits this program's standard handles: what it writes on standard error
// goes where Wine writes its own.
Game::Game(const std::wstring& exe) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    std::wstring command = L"\"" + exe + L"\"";
    const BOOL started = CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, TRUE, 0,
                                        nullptr, nullptr, &startup, &process_);
    const DWORD error = GetLastError();
    expect(started != FALSE,
           "casino.exe does not start: " + narrow(exe) + ", error " + std::to_string(error));
    const auto opened = [&] {
        return IsWindowVisible(window_ = window_of(process_.dwProcessId, nullptr, kWindow.caption));
    };
    expect(wait_until(opened, 20000), "the game's window does not open with its caption");
    // The window is shown before its first control takes the focus.
    wait_until([&] { return focus() != nullptr; });
    sync();
    marker_ = widen(menu_title(0));
}

// TerminateProcess leaves a game that has ended as it was.
Game::~Game() {
    TerminateProcess(process_.hProcess, 99);
    WaitForSingleObject(process_.hProcess, 5000);
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
}

// A game that ended with the code STILL_ACTIVE is taken for one that still runs, and fails
// as one that does not end.
std::optional<DWORD> Game::exit_code() const {
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process_.hProcess, &code);
    return code == STILL_ACTIVE ? std::nullopt : std::optional<DWORD>(code);
}

void Game::sync() const {
    expect(SendMessageTimeoutW(window_, WM_NULL, 0, 0, SMTO_NORMAL | SMTO_ABORTIFHUNG, 10000,
                               nullptr) != 0,
           "the game does not answer messages");
}

GUITHREADINFO Game::thread_info() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(process_.dwThreadId, &info);
    return info;
}

void Game::move_to(Placement where) {
    if (where == Placement::AsOpened) return;
    RECT frame{};
    GetWindowRect(window_, &frame);
    const RECT work = work_area(window_);
    const POINT at =
        where == Placement::Middle ? centred(frame, work, work) : POINT{work.left, work.top};
    SetWindowPos(window_, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    sync();
    GetWindowRect(window_, &frame);
    expect(frame.left == at.x && frame.top == at.y,
           "the window does not move where the driver puts it: " + std::to_string(frame.left) +
               "," + std::to_string(frame.top));
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

std::map<MenuItem, std::string> Game::menu_labels() const {
    std::map<MenuItem, std::string> labels;
    for (std::size_t menu = 0; menu < kMenus.size(); ++menu) {
        for (int item = 0; item < kMenus[menu].item_count; ++item) {
            labels[kMenuItems[static_cast<std::size_t>(kMenus[menu].first_item + item)].id] =
                menu_text(window_, static_cast<int>(menu), static_cast<UINT>(item));
        }
    }
    return labels;
}

std::string Game::menu_title(int menu) const {
    return menu_text(window_, menu, win32::kMenuTitleItem);
}

// Wine passes the message's RECT pointer between processes as it is, so the RECT is
// written into the game's own memory first.
void Game::change_dpi(int dpi, const RECT& suggested) {
    void* remote = VirtualAllocEx(process_.hProcess, nullptr, sizeof suggested,
                                  MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    WriteProcessMemory(process_.hProcess, remote, &suggested, sizeof suggested, nullptr);
    const LRESULT sent =
        SendMessageTimeoutW(window_, WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                            reinterpret_cast<LPARAM>(remote), SMTO_NORMAL, 5000, nullptr);
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
    if (target == nullptr) target = focus() != nullptr ? focus() : window_;
    // lParam: repeat count 1, the key's scan code, Alt held; on the way up, the transition.
    const UINT scan = MapVirtualKeyW(static_cast<UINT>(virtual_key), MAPVK_VK_TO_VSC);
    const LPARAM data = 1 | static_cast<LPARAM>(scan) << 16 | LPARAM{alt} << 29;
    PostMessageW(target, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, virtual_key, data);
    PostMessageW(target, alt ? WM_SYSKEYUP : WM_KEYUP, virtual_key, data | LPARAM{3} << 30);
}

// ---- Boxes and progress ----

std::optional<Box> Game::open_box() const {
    HWND hwnd = window_of(process_.dwProcessId, L"#32770", kAppTitle);
    if (hwnd == nullptr) return std::nullopt;
    // A box is found as soon as it exists, perhaps before its text and its edit field do;
    // once it is shown, it has them.
    wait_until([&] { return IsWindowVisible(hwnd) != FALSE; }, 2000);
    const bool input = GetDlgItem(hwnd, win32::kInputEditId) != nullptr;
    return Box{hwnd, input,
               text_of(GetDlgItem(hwnd, input ? win32::kInputPromptId : kMessageTextId))};
}

// The window answers a menu query by leaving the title's text in a global atom; posted
// behind the input, the query is taken only once the input has been handled or has
// opened a box, whose own loop takes it. Twice, because handling a key posts its
// character behind the first query.
bool Game::drain(int timeout_ms) const {
    for (int round = 0; round < 2; ++round) {
        const bool answered =
            win32::post_menu_query(window_) &&
            wait_until([&] { return GlobalFindAtomW(marker_.c_str()) || exit_code(); }, timeout_ms);
        while (const ATOM atom = GlobalFindAtomW(marker_.c_str())) GlobalDeleteAtom(atom);
        // A game that ends answers no more.
        if (!answered || exit_code()) return false;
    }
    return true;
}

}  // namespace casino::automation
