// GTK's theme pads buttons for a finger, not for the game's small buttons.
#pragma once

class wxWindow;

namespace casino::wx {

// Trims the theme's padding and minimum height on one native button, so its caption fits
// the size the game gives it.
void fit_caption(wxWindow& button);

}  // namespace casino::wx
