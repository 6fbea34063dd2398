// The buttons' font size: one rule for every front end.
#include "core/caption_fit.h"

#include <algorithm>
#include <cmath>

namespace casino {

double caption_size(const FontSizes& sizes, const CaptionRoom& room) {
    const double scale = room(sizes.full);
    if (scale >= 1) return sizes.full;
    // A desktop font smaller than the smallest size is never made larger.
    const double smallest = std::min(sizes.smallest, sizes.full);
    // Every size measured is a font the toolkit must make, which costs start-up time, so the
    // search starts where the first measurement says the captions fit, as text grows about
    // in proportion to its size. Small sizes come out a little wider than in proportion (the
    // glyphs snap to whole pixels), so the start keeps 5% in hand: it usually fits, and the
    // one size above it usually does not.
    constexpr double kSnapAllowance = 0.95;
    double size = std::max(
        smallest, std::floor(sizes.full * scale * kSnapAllowance / sizes.step) * sizes.step);
    if (room(size) >= 1) {
        while (size + sizes.step < sizes.full && room(size + sizes.step) >= 1) size += sizes.step;
        return size;
    }
    while (size > smallest) {
        size = std::max(smallest, size - sizes.step);
        if (room(size) >= 1) break;
    }
    return size;
}

}  // namespace casino
