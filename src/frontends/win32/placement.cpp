// Where the game's windows appear: centred, always wholly on the screen, and at what dpi.
#include "placement.h"

namespace casino::win32 {

namespace {

// The start of a span of `size` centred over [from, to), pushed back inside [lo, hi).
LONG centred_start(LONG from, LONG to, LONG size, LONG lo, LONG hi) {
    LONG start = from + (to - from - size) / 2;
    if (start + size > hi) start = hi - size;
    if (start < lo) start = lo;
    return start;
}

RECT work_area(HMONITOR monitor) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (monitor != nullptr && GetMonitorInfoW(monitor, &info)) return info.rcWork;
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    return work;
}

}  // namespace

RECT work_area_of(HWND window) {
    return work_area(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY));
}

void centre_within_work_area(HWND window, const RECT& over) {
    const RECT work = work_area(MonitorFromRect(&over, MONITOR_DEFAULTTONEAREST));
    RECT box{};
    GetWindowRect(window, &box);
    const LONG width = box.right - box.left;
    const LONG height = box.bottom - box.top;
    const LONG x = centred_start(over.left, over.right, width, work.left, work.right);
    const LONG y = centred_start(over.top, over.bottom, height, work.top, work.bottom);
    SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int system_dpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : USER_DEFAULT_SCREEN_DPI;
}

int window_dpi(HWND window) {
    using GetDpiForWindow = UINT(WINAPI*)(HWND);
    const auto get = reinterpret_cast<GetDpiForWindow>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    const UINT dpi = get != nullptr ? get(window) : 0;
    return dpi > 0 ? static_cast<int>(dpi) : system_dpi();
}

}  // namespace casino::win32
