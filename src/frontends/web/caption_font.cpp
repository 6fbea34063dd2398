// The buttons' font on the page: the browser's button font, shrunk until the captions fit.
#include "caption_font.h"

#include <algorithm>
#include <string>

#include "core/caption_fit.h"
#include "core/controls.h"
#include "css_pixels.h"
#include "page.h"

namespace casino::web {
namespace {

// What a button takes from its own size, in CSS pixels: its border and a little padding on
// both sides, and its border above and below the line.
constexpr double kMarginX = 8;
constexpr double kMarginY = 4;
constexpr double kSmallest = 8;
// The browser draws text at any fractional size; half a pixel is step enough.
constexpr double kStep = 0.5;

// How much the captions must shrink to fit at this size: 1 or more when they fit.
double room_at(double size) {
    double scale = 1e9;
    const double line = casino_page_line_height(size);
    for (const ControlSpec& row : kControls) {
        if (row.kind != ControlKind::Button) continue;
        const double width = casino_page_text_width(std::string(row.caption).c_str(), size);
        scale = std::min(scale, (css_pixels(row.width) - kMarginX) / std::max(width, 1.0));
        scale = std::min(scale, (css_pixels(row.height) - kMarginY) / std::max(line, 1.0));
    }
    return scale;
}

}  // namespace

double caption_font_size() {
    return caption_size({casino_page_button_font_size(), kSmallest, kStep}, room_at);
}

}  // namespace casino::web
