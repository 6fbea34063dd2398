// The game's one window: creation from the control and menu tables, the message
// handling that turns clicks, keys and menu commands into Events, and the port calls.
#include "main_window.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "core/cue_files.h"
#include "input_box.h"
#include "placement.h"
#include "resource.h"
#include "text.h"

namespace casino::win32 {

namespace {

constexpr wchar_t kWindowClass[] = L"CasinoForm1";
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kWindowExStyle = 0;

int control_id(Control c) { return kFirstControlId + static_cast<int>(c); }
int menu_id(MenuItem m) { return kFirstMenuId + static_cast<int>(m); }

COLORREF colour(Rgb rgb) { return RGB(rgb.r, rgb.g, rgb.b); }

// The system's dots per inch, the one the system metrics and fonts are given at; the
// manifest makes the process DPI-aware, so this is the real value rather than a
// virtualised 96.
int system_dpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : USER_DEFAULT_SCREEN_DPI;
}

// The dots per inch of the screen the window is on. Only Windows 10 and later tell it
// (each screen may have its own); before that every screen has the system's.
int window_dpi(HWND hwnd) {
    using GetDpiForWindow = UINT(WINAPI*)(HWND);
    const auto get = reinterpret_cast<GetDpiForWindow>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    const UINT dpi = get != nullptr ? get(hwnd) : 0;
    return dpi > 0 ? static_cast<int>(dpi) : system_dpi();
}

// The system's message font, the platform's default for dialogs, at the given dpi.
LOGFONTW message_font(int dpi) {
    LOGFONTW font{};
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
        font = metrics.lfMessageFont;
    } else {
        GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
    }
    font.lfHeight = MulDiv(font.lfHeight, dpi, system_dpi());
    return font;
}

// How far, at 96 dpi, a caption must keep from a button's edges to stay clear of the
// focus rectangle: the frame, the rectangle's inset, its dotted line and a pixel of air.
constexpr int kCaptionMarginX = 5;
constexpr int kCaptionMarginY = 4;

// Whether every button's caption, in this font, stands clear of its focus rectangle.
bool captions_fit(HDC dc, HFONT font, int dpi) {
    const HGDIOBJ previous = SelectObject(dc, font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    const int margin_x = MulDiv(kCaptionMarginX, dpi, USER_DEFAULT_SCREEN_DPI);
    const int margin_y = MulDiv(kCaptionMarginY, dpi, USER_DEFAULT_SCREEN_DPI);
    const int letters = metrics.tmHeight - metrics.tmInternalLeading;
    bool fit = true;
    for (const ControlSpec& entry : kControls) {
        if (entry.kind != ControlKind::Button) continue;
        const std::wstring caption = widen(entry.caption);
        SIZE size{};
        GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &size);
        fit = fit && size.cx + 2 * margin_x <= twips_to_pixels(entry.width, dpi) &&
              letters + 2 * margin_y <= twips_to_pixels(entry.height, dpi);
    }
    SelectObject(dc, previous);
    return fit;
}

// The buttons' font: the message font, a pixel smaller at a time until every caption
// stands clear of its focus rectangle, but never below six points.
HFONT caption_font(HWND window, LOGFONTW font, int dpi) {
    const int smallest = MulDiv(8, dpi, USER_DEFAULT_SCREEN_DPI);
    HDC dc = GetDC(window);
    HFONT chosen = CreateFontIndirectW(&font);
    while (std::abs(font.lfHeight) > smallest && !captions_fit(dc, chosen, dpi)) {
        font.lfHeight += font.lfHeight < 0 ? 1 : -1;
        DeleteObject(chosen);
        chosen = CreateFontIndirectW(&font);
    }
    ReleaseDC(window, dc);
    return chosen;
}

std::wstring menu_text(const MenuItemSpec& item, std::string_view caption) {
    std::wstring text = widen(caption);
    if (!item.shortcut_text.empty()) text += L'\t' + widen(item.shortcut_text);
    return text;
}

WORD virtual_key(Shortcut key) {
    switch (key) {
        case Shortcut::F1: return VK_F1;
        case Shortcut::F2: return VK_F2;
        case Shortcut::F3: return VK_F3;
        case Shortcut::F5: return VK_F5;
        case Shortcut::None: break;
    }
    return 0;
}

// The folder holding casino.exe, where the Windows package puts the sound folder.
std::string program_folder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    const std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::string() : narrow(path.substr(0, slash));
}

// The system's sndPlaySoundW, from winmm.dll loaded at the first cue rather than at
// start-up: the library brings the multimedia system up with it, which slowed the
// window's opening for a sound the player hears only inside the casino. Loaded from the
// system folder by its full path, never from beside the program.
using SoundPlayer = BOOL(WINAPI*)(LPCWSTR sound, UINT flags);
SoundPlayer sound_player() {
    static const SoundPlayer play = [] {
        wchar_t folder[MAX_PATH] = {};
        const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
        if (length == 0 || length >= MAX_PATH) return SoundPlayer{};
        const std::wstring path = std::wstring(folder, length) + L"\\winmm.dll";
        HMODULE winmm = LoadLibraryW(path.c_str());
        if (winmm == nullptr) return SoundPlayer{};
        return reinterpret_cast<SoundPlayer>(
            reinterpret_cast<void*>(GetProcAddress(winmm, "sndPlaySoundW")));
    }();
    return play;
}

bool window_usable(HWND hwnd) {
    return hwnd != nullptr && IsWindowVisible(hwnd) && IsWindowEnabled(hwnd);
}

void replace_font(HFONT& slot, HFONT fresh) {
    if (slot != nullptr) DeleteObject(slot);
    slot = fresh;
}

}  // namespace

MainWindow::MainWindow(HINSTANCE instance) : instance_(instance), form_(*this) {}

MainWindow::~MainWindow() {
    if (accelerators_ != nullptr) DestroyAcceleratorTable(accelerators_);
    if (hwnd_ != nullptr) DestroyWindow(hwnd_);
    replace_font(list_font_, nullptr);
    replace_font(button_font_, nullptr);
    if (background_ != nullptr) DeleteObject(background_);
}

// ---- Creation ----

bool MainWindow::create(int show_command) {
    dpi_ = system_dpi();
    program_folder_ = program_folder();
    menu_query_ = RegisterWindowMessageW(kMenuQueryMessage);
    background_ = CreateSolidBrush(colour(kWindow.background));

    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = window_proc;
    wc.hInstance = instance_;
    wc.hIcon = static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(IDI_CASINO), IMAGE_ICON,
                                             GetSystemMetrics(SM_CXICON),
                                             GetSystemMetrics(SM_CYICON), LR_DEFAULTCOLOR));
    wc.hIconSm = static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(IDI_CASINO), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON),
                                               GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = background_;
    wc.lpszClassName = kWindowClass;
    if (RegisterClassExW(&wc) == 0) return false;

    create_menu();

    RECT frame{0, 0, pixels(kWindow.client_width), pixels(kWindow.client_height)};
    AdjustWindowRectEx(&frame, kWindowStyle, TRUE, kWindowExStyle);
    const std::wstring caption = widen(kWindow.caption);
    hwnd_ = CreateWindowExW(kWindowExStyle, kWindowClass, caption.c_str(), kWindowStyle,
                            CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left,
                            frame.bottom - frame.top, nullptr, menu_, instance_, this);
    if (hwnd_ == nullptr) return false;
    // The window may have opened on a screen of its own dpi.
    dpi_ = window_dpi(hwnd_);
    create_fonts();
    fit_client_area();
    // The window opens in the middle of its screen, where its boxes will appear too.
    centre_within_work_area(hwnd_, work_area_of(hwnd_));

    create_controls();
    apply_tab_order();
    create_accelerators();

    dispatch(Event::load());

    ShowWindow(hwnd_, show_command);
    UpdateWindow(hwnd_);
    focus_first_tab_stop();
    return true;
}

void MainWindow::create_controls() {
    for (const ControlSpec& entry : kControls) {
        DWORD style = WS_CHILD | WS_TABSTOP;
        if (entry.visible) style |= WS_VISIBLE;
        if (!entry.enabled) style |= WS_DISABLED;
        const wchar_t* window_class = L"BUTTON";
        DWORD ex_style = 0;
        if (entry.kind == ControlKind::ListBox) {
            // Single selection and unsorted, exactly as tall as the table says.
            window_class = L"LISTBOX";
            style |= WS_VSCROLL | LBS_NOINTEGRALHEIGHT;
            ex_style = WS_EX_CLIENTEDGE;
        } else {
            style |= BS_PUSHBUTTON;
        }
        // Made in place and in its font: under Wine every later move is a trip to the
        // server, and thirteen of them showed in the window's opening time.
        const std::wstring caption = widen(entry.caption);
        HWND hwnd =
            CreateWindowExW(ex_style, window_class, caption.c_str(), style, pixels(entry.left),
                            pixels(entry.top), pixels(entry.width), pixels(entry.height), hwnd_,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(control_id(entry.id))),
                            instance_, nullptr);
        if (entry.kind == ControlKind::ListBox) {
            SetWindowSubclass(hwnd, list_proc, static_cast<UINT_PTR>(control_id(entry.id)),
                              reinterpret_cast<DWORD_PTR>(this));
        }
        SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(control_font(entry)), FALSE);
        controls_[static_cast<std::size_t>(entry.id)] = hwnd;
    }
}

HFONT MainWindow::control_font(const ControlSpec& entry) const {
    return entry.kind == ControlKind::ListBox ? list_font_ : button_font_;
}

// Places every control and gives it its font, at the window's dpi.
void MainWindow::layout_controls() {
    for (const ControlSpec& entry : kControls) {
        HWND hwnd = control(entry.id);
        SetWindowPos(hwnd, nullptr, pixels(entry.left), pixels(entry.top), pixels(entry.width),
                     pixels(entry.height), SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(control_font(entry)), TRUE);
    }
}

void MainWindow::create_fonts() {
    const LOGFONTW base = message_font(dpi_);
    replace_font(list_font_, CreateFontIndirectW(&base));
    replace_font(button_font_, caption_font(hwnd_, base, dpi_));
}

// The dialog manager walks the tab stops in z-order, so the controls are stacked in
// their tab order: the first tab stop on top.
void MainWindow::apply_tab_order() {
    std::vector<const ControlSpec*> order;
    for (const ControlSpec& entry : kControls) order.push_back(&entry);
    std::sort(order.begin(), order.end(), [](const ControlSpec* a, const ControlSpec* b) {
        return a->tab_order < b->tab_order;
    });
    HWND above = HWND_TOP;
    for (const ControlSpec* entry : order) {
        HWND hwnd = control(entry->id);
        SetWindowPos(hwnd, above, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        above = hwnd;
    }
}

void MainWindow::create_menu() {
    menu_ = CreateMenu();
    for (const MenuSpec& menu : kMenus) {
        HMENU popup = CreatePopupMenu();
        for (int i = menu.first_item; i < menu.first_item + menu.item_count; ++i) {
            const MenuItemSpec& item = kMenuItems[static_cast<std::size_t>(i)];
            const std::wstring text = menu_text(item, item.caption);
            AppendMenuW(popup, MF_STRING, static_cast<UINT_PTR>(menu_id(item.id)), text.c_str());
        }
        const std::wstring caption = widen(menu.caption);
        AppendMenuW(menu_, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), caption.c_str());
    }
}

void MainWindow::create_accelerators() {
    std::vector<ACCEL> keys;
    for (const MenuItemSpec& item : kMenuItems) {
        const WORD key = virtual_key(item.shortcut);
        if (key == 0) continue;
        keys.push_back(ACCEL{FVIRTKEY, key, static_cast<WORD>(menu_id(item.id))});
    }
    accelerators_ = CreateAcceleratorTableW(keys.data(), static_cast<int>(keys.size()));
}

// The frame was sized for a one-line menu bar; should the bar wrap or the frame differ
// from what AdjustWindowRectEx assumed, grow or shrink the window by the difference.
void MainWindow::fit_client_area() {
    const int want_width = pixels(kWindow.client_width);
    const int want_height = pixels(kWindow.client_height);
    for (int attempt = 0; attempt < 3; ++attempt) {
        RECT client{};
        RECT frame{};
        GetClientRect(hwnd_, &client);
        GetWindowRect(hwnd_, &frame);
        const int dx = want_width - (client.right - client.left);
        const int dy = want_height - (client.bottom - client.top);
        if (dx == 0 && dy == 0) return;
        SetWindowPos(hwnd_, nullptr, 0, 0, frame.right - frame.left + dx,
                     frame.bottom - frame.top + dy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

int MainWindow::pixels(int twips) const { return twips_to_pixels(twips, dpi_); }

// The window moved to a screen of another dpi: the fonts and every control are made again
// from the tables at the new dpi, and the window takes the place the system suggests,
// with its client area sized anew.
void MainWindow::on_dpi_changed(int dpi, const RECT& suggested) {
    dpi_ = dpi;
    HFONT old_list_font = std::exchange(list_font_, nullptr);
    HFONT old_button_font = std::exchange(button_font_, nullptr);
    create_fonts();
    SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    layout_controls();
    fit_client_area();
    // The controls no longer use the old fonts.
    DeleteObject(old_list_font);
    DeleteObject(old_button_font);
}

// ---- The message loop ----

int MainWindow::run() {
    MSG msg{};
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (!TranslateAcceleratorW(hwnd_, accelerators_, &msg) && !press_focused_button(msg) &&
            !IsDialogMessageW(hwnd_, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        // Whatever moved the focus (a click, a key, a handler), the default button follows
        // it; the dialog manager restyles the buttons itself on Tab, so this comes after.
        mark_default_button();
    }
    return static_cast<int>(msg.wParam);
}

// Enter on a focused button clicks it. The window is no dialog and has no default
// button, so the dialog manager would turn Enter into an IDOK command instead.
bool MainWindow::press_focused_button(const MSG& msg) {
    if (msg.message != WM_KEYDOWN || msg.wParam != VK_RETURN) return false;
    const std::optional<Control> c = control_of(msg.hwnd);
    if (!c || is_list(*c)) return false;
    if (window_usable(msg.hwnd)) dispatch(Event::click(*c));
    return true;
}

LRESULT CALLBACK MainWindow::window_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    if (msg == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lparam);
        auto* self = static_cast<MainWindow*>(create->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self == nullptr) return DefWindowProcW(hwnd, msg, wparam, lparam);
    return self->handle_message(msg, wparam, lparam);
}

LRESULT MainWindow::handle_message(UINT msg, WPARAM wparam, LPARAM lparam) {
    switch (msg) {
        case WM_COMMAND: on_command(LOWORD(wparam)); return 0;
        case WM_CTLCOLORBTN:
            // Themed buttons paint their rounded corners with the parent's background.
            return reinterpret_cast<LRESULT>(background_);
        case WM_ACTIVATE: on_activate(wparam); return 0;
        case WM_SETFOCUS: on_set_focus(); return 0;
        case WM_DPICHANGED:
            on_dpi_changed(HIWORD(wparam), *reinterpret_cast<const RECT*>(lparam));
            return 0;
        case WM_CLOSE: on_close(); return 0;
        case WM_DESTROY:
            hwnd_ = nullptr;
            PostQuitMessage(0);
            return 0;
        default:
            if (msg == menu_query_ && menu_query_ != 0) return on_menu_query(wparam);
            return DefWindowProcW(hwnd_, msg, wparam, lparam);
    }
}

// Buttons report clicks and the menu and its accelerators report commands, all through
// WM_COMMAND; a menu click and its F-key make the same Event.
void MainWindow::on_command(int id) {
    if (id >= kFirstControlId && id < kFirstControlId + kControlCount) {
        const auto c = static_cast<Control>(id - kFirstControlId);
        if (!is_list(c)) dispatch(Event::click(c));
        return;
    }
    if (id >= kFirstMenuId && id < kFirstMenuId + kMenuItemCount) {
        dispatch(Event::menu_item(static_cast<MenuItem>(id - kFirstMenuId)));
    }
}

// The close box, the system menu and Alt+F4 all arrive here, and so does a close that
// another program or the taskbar sends while a box is open; the game quits and never
// cancels the close.
void MainWindow::on_close() { dispatch(Event::unload()); }

// A message box takes the activation away; the control that had the focus gets it back.
void MainWindow::on_activate(WPARAM wparam) {
    if (LOWORD(wparam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus != nullptr && GetParent(focus) == hwnd_) saved_focus_ = focus;
    } else {
        on_set_focus();
    }
}

void MainWindow::on_set_focus() {
    // While a handler runs with the keyboard parked here, its end decides where it goes.
    if (focus_lost_) return;
    HWND saved = std::exchange(saved_focus_, nullptr);
    if (window_usable(saved)) {
        SetFocus(saved);
        return;
    }
    focus_first_tab_stop();
}

void MainWindow::focus_first_tab_stop() {
    const std::optional<Control> first =
        next_in_tab_order(tab_order().back(), [this](Control c) { return usable(c); });
    if (first) SetFocus(control(*first));
}

// ---- The keyboard focus ----

// Only the push button that holds the keyboard wears the default button's border: the
// window has no default button of its own, and Enter presses the focused button.
void MainWindow::mark_default_button() {
    HWND focus = GetFocus();
    for (const ControlSpec& entry : kControls) {
        if (entry.kind != ControlKind::Button) continue;
        HWND hwnd = control(entry.id);
        const bool is_default = (GetWindowLongW(hwnd, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
        if (is_default != (hwnd == focus)) {
            SendMessageW(hwnd, BM_SETSTYLE, hwnd == focus ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
        }
    }
}

void MainWindow::dispatch(const Event& event) {
    ++handlers_running_;
    form_.handle(event);
    --handlers_running_;
    settle_focus();
}

// A control hidden while it holds the keyboard parks it on the window. Where it goes next
// is decided when the handler has finished, once the next screen stands: a handler may
// hide the old screen before it shows the new one.
void MainWindow::release_focus(Control c) {
    HWND hwnd = control(c);
    const bool focused = GetFocus() == hwnd;
    if (!focused && saved_focus_ != hwnd) return;
    if (!focus_lost_) focus_lost_ = c;
    if (saved_focus_ == hwnd) saved_focus_ = nullptr;
    if (focused) SetFocus(hwnd_);
}

// The keyboard goes to the next shown control after the one that lost it, in the tab
// order, wrapping round; with none shown the window keeps it.
void MainWindow::settle_focus() {
    if (!focus_lost_ || hwnd_ == nullptr) return;
    const std::optional<Control> next =
        next_in_tab_order(*focus_lost_, [this](Control c) { return usable(c); });
    focus_lost_.reset();
    HWND target = next ? control(*next) : nullptr;
    if (GetActiveWindow() != hwnd_) {
        saved_focus_ = target;  // it is given back when the window is active again
    } else if (target != nullptr) {
        SetFocus(target);
    }
}

LRESULT MainWindow::on_menu_query(WPARAM wparam) const {
    const UINT menu = LOWORD(wparam);
    const UINT item = HIWORD(wparam);
    HMENU owner = item == 0xFFFF ? menu_ : GetSubMenu(menu_, static_cast<int>(menu));
    const UINT position = item == 0xFFFF ? menu : item;
    wchar_t text[256] = {};
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STRING | MIIM_ID;
    info.dwTypeData = text;
    info.cch = 256;
    if (owner == nullptr || !GetMenuItemInfoW(owner, position, TRUE, &info)) return 0;
    const UINT id = item == 0xFFFF ? 0 : info.wID;
    return MAKELRESULT(GlobalAddAtomW(text), id);
}

bool MainWindow::usable(Control c) const { return window_usable(control(c)); }

std::optional<Control> MainWindow::control_of(HWND hwnd) const {
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        if (controls_[i] == hwnd && hwnd != nullptr) return static_cast<Control>(i);
    }
    return std::nullopt;
}

// ---- The list boxes ----

// Every character typed in a list reaches the game as a KeyPress, Enter and Esc included:
// the list asks the dialog manager for every key but Tab, which still moves the focus.
LRESULT CALLBACK MainWindow::list_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam,
                                       UINT_PTR id, DWORD_PTR self_data) {
    auto* self = reinterpret_cast<MainWindow*>(self_data);
    switch (msg) {
        case WM_GETDLGCODE: {
            LRESULT code = DefSubclassProc(hwnd, msg, wparam, lparam) | DLGC_WANTCHARS;
            const auto* key = reinterpret_cast<const MSG*>(lparam);
            if (key != nullptr && key->message == WM_KEYDOWN && key->wParam != VK_TAB) {
                code |= DLGC_WANTMESSAGE;
            }
            return code;
        }
        case WM_CHAR: {
            const auto c = static_cast<Control>(static_cast<int>(id) - kFirstControlId);
            const auto highlight = SendMessageW(hwnd, LB_GETCURSEL, 0, 0);
            self->dispatch(
                Event::key_press(c, static_cast<int>(wparam),
                                 highlight == LB_ERR ? -1 : static_cast<int>(highlight)));
            // Enter has done its work; other characters still move the highlight to the
            // entry they begin, as a list does.
            if (wparam == VK_RETURN || !IsWindow(hwnd)) return 0;
            return DefSubclassProc(hwnd, msg, wparam, lparam);
        }
        case WM_NCDESTROY:
            RemoveWindowSubclass(hwnd, list_proc, id);
            return DefSubclassProc(hwnd, msg, wparam, lparam);
        default: return DefSubclassProc(hwnd, msg, wparam, lparam);
    }
}

// ---- Port: controls ----

void MainWindow::set_shown(Control c, bool shown) {
    HWND hwnd = control(c);
    if (!shown) release_focus(c);
    ShowWindow(hwnd, shown ? SW_SHOWNA : SW_HIDE);
    EnableWindow(hwnd, shown ? TRUE : FALSE);
}

// Where the game puts the focus itself, it stays.
void MainWindow::set_focus(Control c) {
    focus_lost_.reset();
    SetFocus(control(c));
}

void MainWindow::set_menu_caption(MenuItem item, std::string_view caption) {
    std::wstring text = menu_text(spec_of(item), caption);
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STRING;
    info.dwTypeData = text.data();
    SetMenuItemInfoW(menu_, static_cast<UINT>(menu_id(item)), FALSE, &info);
    DrawMenuBar(hwnd_);
}

// ---- Port: list boxes ----

void MainWindow::list_add(Control list, std::string_view text) {
    const std::wstring entry = widen(text);
    SendMessageW(control(list), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
}

void MainWindow::list_clear(Control list) { SendMessageW(control(list), LB_RESETCONTENT, 0, 0); }

void MainWindow::set_list_highlight(Control list, int index) {
    SendMessageW(control(list), LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void MainWindow::list_remove(Control list, int index) {
    SendMessageW(control(list), LB_DELETESTRING, static_cast<WPARAM>(index), 0);
}

// ---- Port: boxes, sound, clock, exit ----

void MainWindow::message(std::string_view text) {
    const std::wstring body = widen(text);
    const std::wstring title = widen(kAppTitle);
    MessageBoxW(hwnd_, body.c_str(), title.c_str(), MB_OK);
}

std::string MainWindow::ask_text(std::string_view prompt) {
    return narrow(win32::ask_text(hwnd_, widen(kAppTitle), widen(prompt)));
}

// Synchronous. The cue is looked for beside the current directory first, as the game always
// has, then in the program's own folder; when neither holds it, the game's own path goes to
// the system, which answers a missing file with its default sound. The result does not
// matter to the game.
void MainWindow::play_wav(std::string_view path) {
    const SoundPlayer play = sound_player();
    if (play == nullptr) return;
    for (const std::string& candidate : cue_file_candidates(path, program_folder_, '\\')) {
        const std::wstring file = widen(candidate);
        const DWORD attributes = GetFileAttributesW(file.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            play(file.c_str(), 0);
            return;
        }
    }
    play(widen(path).c_str(), 0);
}

double MainWindow::time_of_day() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return now.wHour * 3600.0 + now.wMinute * 60.0 + now.wSecond + now.wMilliseconds / 1000.0;
}

// Between events the message loop ends and the program returns from it. A close that comes
// while another handler waits inside its box (the box's loop still delivers messages to
// the window) must not return into that handler, which would go on to its next box or cue:
// the process ends where it stands, with the exit code of a clean exit. The game keeps
// nothing that would need saving or closing.
void MainWindow::quit() {
    if (handlers_running_ > 1) ExitProcess(0);
    PostQuitMessage(0);
}

}  // namespace casino::win32
