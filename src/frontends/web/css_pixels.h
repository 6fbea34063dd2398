// Twips as the page lays them out.
#pragma once

#include "core/controls.h"

namespace casino::web {

// A CSS pixel is a 96th of an inch, so 15 twips make one at 100% zoom; the browser scales
// the whole window with the page's zoom. Fractions are kept: the browser places controls
// between device pixels as well as on them.
constexpr double kCssPixelsPerInch = 96;

constexpr double css_pixels(int twips) {
    return static_cast<double>(twips) * kCssPixelsPerInch / kTwipsPerInch;
}

}  // namespace casino::web
