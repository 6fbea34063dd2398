// The controls' fonts: the system's message font for the lists, and the same made small
// enough for the tightest caption for the buttons, which were sized for a smaller font.
#pragma once

#include <windows.h>

namespace casino::win32 {

// The system's message font, the platform's default for dialogs, at the given dpi.
HFONT list_font(int dpi);

// The buttons' font at the given dpi: the message font, made smaller by the core's rule
// (core/caption_fit.h) until every caption stands clear of its button's focus rectangle.
// The captions are measured on the window's display.
HFONT caption_font(HWND window, int dpi);

}  // namespace casino::win32
