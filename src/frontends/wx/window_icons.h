// The window's icons: the 16, 32, 48 and 64 px PNGs rendered at build time from the game's
// one icon (tools/icon/casino.svg), compiled in as they are.
#pragma once

#include <wx/iconbndl.h>

namespace casino::wx {

// The four icons, read from the compiled-in PNGs by wx.
wxIconBundle window_icons();

}  // namespace casino::wx
