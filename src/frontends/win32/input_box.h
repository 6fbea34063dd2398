// The game's own modal input box: a prompt, one edit field, OK and Cancel.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace casino::win32 {

// Control ids inside the box, also known to the automation tests.
inline constexpr int kInputPromptId = 1001;
inline constexpr int kInputEditId = 1002;

// Shows the box centred over its owner as far as the screen allows (never off the screen);
// the owner stays disabled while the box is open.
// Returns the typed text on OK or Enter, and the empty text on Cancel, Esc or the close box.
std::wstring ask_text(HWND owner, std::wstring_view title, std::wstring_view prompt);

}  // namespace casino::win32
