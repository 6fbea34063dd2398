// The buttons' captions made to fit the small buttons the game gives them, which were
// sized for a smaller font than GTK's and padded for a finger: the font, and the padding.
#pragma once

#include <wx/font.h>

class wxWindow;

namespace casino::wx {

// The desktop's dialog font, made smaller by the core's rule (core/caption_fit.h) until
// every caption fits its button. The captions are measured on the window given.
wxFont caption_font(const wxWindow& client);

// Trims the theme's padding and minimum height on one native button, so its caption fits
// the size the game gives it.
void fit_caption(wxWindow& button);

}  // namespace casino::wx
