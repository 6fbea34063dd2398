// The buttons' font on the page.
#pragma once

namespace casino::web {

// The size, in CSS pixels, of the page's own button font made smaller until every button's
// caption fits its button: the game's buttons were sized for a smaller font than a browser's.
double caption_font_size();

}  // namespace casino::web
