// casino.exe: the Windows program. Creates the game's window and runs its message loop.
// <windows.h> must come before the other Windows headers.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include "main_window.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show_command) {
    // The manifest selects Common Controls 6; registering its classes makes the buttons
    // and lists the themed ones.
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_STANDARD_CLASSES;
    InitCommonControlsEx(&controls);

    casino::win32::MainWindow window(instance);
    if (!window.create(show_command)) return 1;
    return window.run();
}
