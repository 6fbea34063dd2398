// Where the game's windows appear: centred, always wholly on the screen, and at the dots per
// inch of the screen they are on.
#pragma once

#include <windows.h>

namespace casino::win32 {

// Moves a window so that it is centred over `over` (screen coordinates) as far as the work
// area of the monitor nearest to `over` allows; the window never leaves that work area
// unless it is larger than it.
void centre_within_work_area(HWND window, const RECT& over);

// The work area of the monitor that holds most of the window, or the primary one.
RECT work_area_of(HWND window);

// The system's dots per inch, the one the system metrics and fonts are given at; the
// manifest makes the process DPI-aware, so this is the real value rather than a
// virtualised 96.
int system_dpi();

// The dots per inch of the screen the window is on. Only Windows 10 and later tell it
// (each screen may have its own); before that every screen has the system's.
int window_dpi(HWND window);

}  // namespace casino::win32
