// casino.exe: the Windows program. Creates the game's window and runs its message loop.
// <windows.h> must come before the other Windows headers.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include "core/random_source.h"
#include "core/game_state.h"
#include "main_window.h"

namespace {

// Every library loaded after the start (the sound library at the first cue, what it and
// the controls' theme bring with them) is looked for in the system folder only, never in
// the program's folder or the current one, where anybody may have left a library of the
// same name. Windows 8 and later, and Windows 7 with its update KB2533623, can be told so;
// a Windows 7 without the update at least leaves the current folder out of the search.
void restrict_library_search() {
    const auto set_default =
        reinterpret_cast<decltype(&SetDefaultDllDirectories)>(reinterpret_cast<void (*)()>(
            GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
    if (set_default != nullptr && set_default(LOAD_LIBRARY_SEARCH_SYSTEM32)) return;
    SetDllDirectoryW(L"");
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show_command) {
    restrict_library_search();

    // The manifest selects Common Controls 6; registering its classes makes the buttons
    // and lists the themed ones.
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_STANDARD_CLASSES;
    InitCommonControlsEx(&controls);

    casino::RandomSource draws;
    casino::GameState state;
    casino::win32::MainWindow window(instance, draws, state);
    if (!window.create(show_command)) return 1;
    return window.run();
}
