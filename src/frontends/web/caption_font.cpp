// The buttons' font on the page: the browser's button font, shrunk until the captions fit.
#include "caption_font.h"

#include <algorithm>
#include <cmath>
#include <string>

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

// Text grows in proportion to its size, so one measurement tells the size at which the
// captions fit; the steps after it only make up for rounding in the font's metrics.
double caption_font_size() {
    const double full = casino_page_button_font_size();
    const double scale = room_at(full);
    if (scale >= 1) return full;
    double size = std::max(kSmallest, std::floor(full * scale / kStep) * kStep);
    while (room_at(size) < 1 && size > kSmallest) size -= kStep;
    return size;
}

}  // namespace casino::web
