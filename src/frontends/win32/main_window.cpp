// The game's one window: put together from its parts (window_parts.h), the message handling
// that turns clicks, keys and menu commands into Events, the keyboard focus, and the port
// calls, which hand the lists, the sound and the boxes to their own files.
#include "main_window.h"

#include <string>
#include <utility>
#include <vector>

#include "caption_font.h"
#include "cue_player.h"
#include "input_box.h"
#include "menu_query.h"
#include "placement.h"
#include "text.h"
#include "window_parts.h"

namespace casino::win32 {

namespace {

COLORREF colour(Rgb rgb) { return RGB(rgb.r, rgb.g, rgb.b); }

void replace_font(HFONT& slot, HFONT fresh) {
    if (slot != nullptr) DeleteObject(slot);
    slot = fresh;
}

}  // namespace

MainWindow::MainWindow(HINSTANCE instance, Draws& draws, GameState& state)
    : instance_(instance), form_(*this, draws, state) {}

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
    data_dir_ = installed_data_dir();
    menu_query_ = menu_query_message();
    background_ = CreateSolidBrush(colour(kWindow.background));

    menu_ = create_menu_bar();
    hwnd_ = create_frame(instance_, WindowProc, background_, menu_, dpi_, this);
    if (hwnd_ == nullptr) return false;
    // The window may have opened on a screen of its own dpi.
    dpi_ = window_dpi(hwnd_);
    create_fonts();
    fit_client_area(hwnd_, dpi_);
    // The window opens in the middle of its screen, where its boxes will appear too.
    centre_within_work_area(hwnd_, work_area_of(hwnd_));

    create_controls();
    apply_tab_order();
    accelerators_ = create_accelerators();

    // The load step names the control that takes the keyboard; the window is not active
    // yet, so it gets the keyboard as the window is shown.
    dispatch(Event::load());

    ShowWindow(hwnd_, show_command);
    UpdateWindow(hwnd_);
    // Marked now: the loop marks it only after a message it takes, and once the window is
    // painted the first may be long in coming.
    mark_default_button();
    return true;
}

// Each control is made in place and in its font rather than moved and restyled after.
void MainWindow::create_controls() {
    for (const ControlSpec& entry : kControls) {
        const Control id = entry.id;
        if (entry.kind == ControlKind::ListBox) {
            lists_[slot(id)] = std::make_unique<GameList>(
                hwnd_, control_id(id), control_style(entry), control_bounds(entry, dpi_),
                widen(voice_of(id).name), [this, id](int code) { OnListKey(id, code); });
            controls_[slot(id)] = list_box(id).hwnd();
        } else {
            controls_[slot(id)] = create_button(hwnd_, entry, dpi_);
        }
        SendMessageW(control(id), WM_SETFONT, reinterpret_cast<WPARAM>(control_font(entry)), FALSE);
    }
}

HFONT MainWindow::control_font(const ControlSpec& entry) const {
    return entry.kind == ControlKind::ListBox ? list_font_ : button_font_;
}

void MainWindow::create_fonts() {
    replace_font(list_font_, list_font(dpi_));
    replace_font(button_font_, caption_font(hwnd_, dpi_));
}

// Places every control and gives it its font, at the window's dpi.
void MainWindow::layout_controls() {
    for (const ControlSpec& entry : kControls) {
        const RECT r = control_bounds(entry, dpi_);
        SetWindowPos(control(entry.id), nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageW(control(entry.id), WM_SETFONT, reinterpret_cast<WPARAM>(control_font(entry)),
                     TRUE);
    }
}

// The controls are stacked in their tab order, the first tab stop on top, each list just
// below its label.
void MainWindow::apply_tab_order() {
    std::vector<HWND> order;
    for (const Control c : tab_order()) {
        if (is_list(c)) order.push_back(list_box(c).label());
        order.push_back(control(c));
    }
    stack(order);
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
    OnClick(*c);
    return true;
}

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

// ---- The keyboard focus ----

void MainWindow::dispatch(const Event& event) {
    const Outcome outcome = form_.handle(event);
    if (!outcome.focus || hwnd_ == nullptr) return;
    if (GetActiveWindow() != hwnd_) {
        saved_focus_ = control(*outcome.focus);  // given back when the window is active again
    } else {
        SetFocus(control(*outcome.focus));
    }
}

Keyboard MainWindow::keyboard() const {
    return control_of(GetActiveWindow() == hwnd_ ? GetFocus() : saved_focus_);
}

std::optional<Control> MainWindow::control_of(HWND hwnd) const {
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        if (controls_[i] == hwnd && hwnd != nullptr) return static_cast<Control>(i);
    }
    return std::nullopt;
}

// ---- Native events ----

LRESULT CALLBACK MainWindow::WindowProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    if (msg == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lparam);
        auto* self = static_cast<MainWindow*>(create->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self == nullptr) return DefWindowProcW(hwnd, msg, wparam, lparam);
    return self->HandleMessage(msg, wparam, lparam);
}

LRESULT MainWindow::HandleMessage(UINT msg, WPARAM wparam, LPARAM lparam) {
    switch (msg) {
        case WM_COMMAND: {
            // Buttons report clicks, and the menu and its accelerators report commands; a
            // menu click and its F-key make the same Event. A list's own notifications (it
            // gained or lost the keyboard) are no click.
            const int id = LOWORD(wparam);
            if (id >= kFirstControlId && id < kFirstControlId + kControlCount) {
                if (HIWORD(wparam) != BN_CLICKED) return 0;
                OnClick(static_cast<Control>(id - kFirstControlId));
            } else if (id >= kFirstMenuId && id < kFirstMenuId + kMenuItemCount) {
                OnMenu(static_cast<MenuItem>(id - kFirstMenuId));
            }
            return 0;
        }
        case WM_CTLCOLORBTN:
            // Themed buttons paint their rounded corners with the parent's background.
            return reinterpret_cast<LRESULT>(background_);
        case WM_ACTIVATE: OnActivate(wparam); return 0;
        case WM_SETFOCUS: OnSetFocus(); return 0;
        case WM_DPICHANGED:
            OnDpiChanged(HIWORD(wparam), *reinterpret_cast<const RECT*>(lparam));
            return 0;
        case WM_CLOSE: OnClose(); return 0;
        case WM_DESTROY:
            hwnd_ = nullptr;
            PostQuitMessage(0);
            return 0;
        default:
            if (msg == menu_query_ && menu_query_ != 0) return OnMenuQuery(wparam);
            return DefWindowProcW(hwnd_, msg, wparam, lparam);
    }
}

void MainWindow::OnClick(Control c) { dispatch(Event::click(c, keyboard())); }

void MainWindow::OnMenu(MenuItem m) { dispatch(Event::menu_item(m, keyboard())); }

void MainWindow::OnListKey(Control list, int code) {
    dispatch(Event::key_press(list, code, list_box(list).highlight(), keyboard()));
}

// The close box, the system menu and Alt+F4 all arrive here, and so does a close that
// another program or the taskbar sends while a box is open; the game quits and never
// cancels the close.
void MainWindow::OnClose() { dispatch(Event::unload()); }

// A message box takes the activation away; the control that had the focus gets it back.
void MainWindow::OnActivate(WPARAM wparam) {
    if (LOWORD(wparam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus != nullptr && GetParent(focus) == hwnd_) saved_focus_ = focus;
    } else {
        OnSetFocus();
    }
}

void MainWindow::OnSetFocus() {
    // A control hidden while the window was inactive is no longer saved: when its handler
    // ends, the game says which control takes the keyboard.
    if (HWND saved = std::exchange(saved_focus_, nullptr)) SetFocus(saved);
    // The activation comes as a sent message, which GetMessage handles without returning:
    // the loop's own marking would wait for the next message the loop takes.
    mark_default_button();
}

// The window moved to a screen of another dpi: the fonts and every control are made again
// from the tables at the new dpi, and the window takes the place the system suggests,
// with its client area sized anew.
void MainWindow::OnDpiChanged(int dpi, const RECT& suggested) {
    dpi_ = dpi;
    HFONT old_list_font = std::exchange(list_font_, nullptr);
    HFONT old_button_font = std::exchange(button_font_, nullptr);
    create_fonts();
    SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    layout_controls();
    fit_client_area(hwnd_, dpi_);
    // The controls no longer use the old fonts.
    DeleteObject(old_list_font);
    DeleteObject(old_button_font);
}

LRESULT MainWindow::OnMenuQuery(WPARAM wparam) const { return answer_menu_query(menu_, wparam); }

// ---- Port: controls ----

// A hidden control cannot keep the keyboard: the window holds it until the handler ends
// and the game says where it goes.
void MainWindow::set_shown(Control c, bool shown) {
    HWND hwnd = control(c);
    if (!shown && GetFocus() == hwnd) SetFocus(hwnd_);
    if (!shown && saved_focus_ == hwnd) saved_focus_ = nullptr;
    ShowWindow(hwnd, shown ? SW_SHOWNA : SW_HIDE);
    EnableWindow(hwnd, shown ? TRUE : FALSE);
}

void MainWindow::set_focus(Control c) { SetFocus(control(c)); }

void MainWindow::set_menu_caption(MenuItem item, std::string_view caption) {
    std::wstring text = widen(menu_label(item, caption));
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STRING;
    info.dwTypeData = text.data();
    SetMenuItemInfoW(menu_, static_cast<UINT>(menu_id(item)), FALSE, &info);
    DrawMenuBar(hwnd_);
}

// ---- Port: list boxes ----

void MainWindow::list_add(Control list, std::string_view text) {
    list_box(list).append(widen(text));
}

void MainWindow::list_remove(Control list, int index) { list_box(list).remove(index); }

void MainWindow::list_clear(Control list) { list_box(list).clear(); }

void MainWindow::set_list_highlight(Control list, int index) {
    list_box(list).set_highlight(index);
}

// ---- Port: boxes, sound, clock, exit ----

void MainWindow::message(std::string_view text) {
    const std::wstring body = widen(text);
    const std::wstring title = widen(kAppTitle);
    ++boxes_open_;
    MessageBoxW(hwnd_, body.c_str(), title.c_str(), MB_OK);
    --boxes_open_;
}

std::string MainWindow::ask_text(std::string_view prompt) {
    ++boxes_open_;
    std::wstring answer = win32::ask_text(hwnd_, widen(kAppTitle), widen(prompt));
    --boxes_open_;
    return narrow(answer);
}

void MainWindow::play(Cue cue) { play_cue(cue, data_dir_); }

double MainWindow::time_of_day() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return now.wHour * 3600.0 + now.wMinute * 60.0 + now.wSecond + now.wMilliseconds / 1000.0;
}

// Between events the message loop ends and the program returns from it. A close that comes
// while one of the game's boxes is open (the box's loop still delivers messages to the
// window) must not return into the box's handler: the process ends where it stands, with
// the exit code of a clean exit. The game keeps nothing that would need saving or closing.
void MainWindow::quit() {
    if (boxes_open_ > 0) ExitProcess(0);
    PostQuitMessage(0);
}

}  // namespace casino::win32
