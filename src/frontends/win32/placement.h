// Where the game's windows appear: centred, and always wholly on the screen.
#pragma once

#include <windows.h>

namespace casino::win32 {

// Moves a window so that it is centred over `over` (screen coordinates) as far as the work
// area of the monitor nearest to `over` allows; the window never leaves that work area
// unless it is larger than it.
void centre_within_work_area(HWND window, const RECT& over);

// The work area of the monitor that holds most of the window, or the primary one.
RECT work_area_of(HWND window);

}  // namespace casino::win32
