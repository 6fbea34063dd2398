// The window's parts built from the core's control and menu tables.
#include "window_parts.h"

#include <string>
#include <vector>

#include "resource.h"
#include "text.h"

namespace casino::win32 {
namespace {

constexpr wchar_t kWindowClass[] = L"CasinoForm1";
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

HICON game_icon(HINSTANCE instance, int width_metric, int height_metric) {
    return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_CASINO), IMAGE_ICON,
                                         GetSystemMetrics(width_metric),
                                         GetSystemMetrics(height_metric), LR_DEFAULTCOLOR));
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

}  // namespace

HWND create_frame(HINSTANCE instance, WNDPROC procedure, HBRUSH background, HMENU menu, int dpi,
                  void* self) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = procedure;
    wc.hInstance = instance;
    wc.hIcon = game_icon(instance, SM_CXICON, SM_CYICON);
    wc.hIconSm = game_icon(instance, SM_CXSMICON, SM_CYSMICON);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = background;
    wc.lpszClassName = kWindowClass;
    if (RegisterClassExW(&wc) == 0) return nullptr;
    RECT frame{0, 0, twips_to_pixels(kWindow.client_width, dpi),
               twips_to_pixels(kWindow.client_height, dpi)};
    AdjustWindowRectEx(&frame, kWindowStyle, TRUE, 0);
    const std::wstring caption = widen(kWindow.caption);
    return CreateWindowExW(0, kWindowClass, caption.c_str(), kWindowStyle, CW_USEDEFAULT,
                           CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top,
                           nullptr, menu, instance, self);
}

HMENU create_menu_bar() {
    HMENU bar = CreateMenu();
    for (const MenuSpec& menu : kMenus) {
        HMENU popup = CreatePopupMenu();
        for (int i = menu.first_item; i < menu.first_item + menu.item_count; ++i) {
            const MenuItemSpec& item = kMenuItems[static_cast<std::size_t>(i)];
            const std::wstring text = widen(menu_label(item.id, item.caption));
            AppendMenuW(popup, MF_STRING, static_cast<UINT_PTR>(menu_id(item.id)), text.c_str());
        }
        const std::wstring caption = widen(menu.caption);
        AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), caption.c_str());
    }
    return bar;
}

HACCEL create_accelerators() {
    std::vector<ACCEL> keys;
    for (const MenuItemSpec& item : kMenuItems) {
        const WORD key = virtual_key(item.shortcut);
        if (key == 0) continue;
        keys.push_back(ACCEL{FVIRTKEY, key, static_cast<WORD>(menu_id(item.id))});
    }
    return CreateAcceleratorTableW(keys.data(), static_cast<int>(keys.size()));
}

RECT control_bounds(const ControlSpec& entry, int dpi) {
    const int left = twips_to_pixels(entry.left, dpi);
    const int top = twips_to_pixels(entry.top, dpi);
    return {left, top, left + twips_to_pixels(entry.width, dpi),
            top + twips_to_pixels(entry.height, dpi)};
}

DWORD control_style(const ControlSpec& entry) {
    DWORD style = WS_CHILD | WS_TABSTOP;
    if (entry.visible) style |= WS_VISIBLE;
    if (!entry.enabled) style |= WS_DISABLED;
    return style;
}

HWND create_button(HWND parent, const ControlSpec& entry, int dpi) {
    const RECT r = control_bounds(entry, dpi);
    const std::wstring caption = widen(entry.caption);
    return CreateWindowExW(0, L"BUTTON", caption.c_str(), control_style(entry) | BS_PUSHBUTTON,
                           r.left, r.top, r.right - r.left, r.bottom - r.top, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(control_id(entry.id))),
                           reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE)),
                           nullptr);
}

void stack(std::span<const HWND> windows) {
    HWND above = HWND_TOP;
    for (HWND hwnd : windows) {
        SetWindowPos(hwnd, above, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        above = hwnd;
    }
}

void fit_client_area(HWND window, int dpi) {
    const int want_width = twips_to_pixels(kWindow.client_width, dpi);
    const int want_height = twips_to_pixels(kWindow.client_height, dpi);
    for (int attempt = 0; attempt < 3; ++attempt) {
        RECT client{};
        RECT frame{};
        GetClientRect(window, &client);
        GetWindowRect(window, &frame);
        const int dx = want_width - (client.right - client.left);
        const int dy = want_height - (client.bottom - client.top);
        if (dx == 0 && dy == 0) return;
        SetWindowPos(window, nullptr, 0, 0, frame.right - frame.left + dx,
                     frame.bottom - frame.top + dy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

}  // namespace casino::win32
