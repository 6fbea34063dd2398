// The window's parts built from the core's control and menu tables: the frame, the menu bar
// and its keys, the push buttons, where every control lies at a dpi, the stacking that gives the
// tab order, and the frame around the client area the table asks for.
#pragma once

#include <windows.h>

#include <span>

#include "core/controls.h"

namespace casino::win32 {

// Child window ids: the controls in creation order, then the menu items in table order.
inline constexpr int kFirstControlId = 100;
inline constexpr int kFirstMenuId = 200;

inline int control_id(Control c) { return kFirstControlId + static_cast<int>(c); }
inline int menu_id(MenuItem m) { return kFirstMenuId + static_cast<int>(m); }

// The game's window, of a class of its own with the game's icon and background, sized for
// the table's client area at the dpi; `self` reaches the window procedure at WM_NCCREATE.
// None when the system refuses it.
HWND create_frame(HINSTANCE instance, WNDPROC procedure, HBRUSH background, HMENU menu, int dpi,
                  void* self);

// Both menus, each item labelled with its caption and its key.
HMENU create_menu_bar();
// The items' F-keys, each making the same command as a click on its item.
HACCEL create_accelerators();

// A control's place on the client area in pixels at the dpi.
RECT control_bounds(const ControlSpec& entry, int dpi);
// The window styles a control is created with: its tab stop, and whether the table creates
// it shown and enabled.
DWORD control_style(const ControlSpec& entry);
// A push button, made in its place rather than moved there after: under Wine every such
// call is a round trip to the server.
HWND create_button(HWND parent, const ControlSpec& entry, int dpi);

// Stacks the windows in the order given, the first on top: the dialog manager walks the
// tab stops in z-order, and a screen reader looks for a control's label just above it.
void stack(std::span<const HWND> windows);

// Sizes the frame so that the client area is the table's at the dpi: the frame was made
// for a one-line menu bar, and the bar may wrap or the frame differ from what
// AdjustWindowRectEx assumed.
void fit_client_area(HWND window, int dpi);

}  // namespace casino::win32
