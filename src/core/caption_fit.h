// How small the buttons' font must be for every caption to fit its button: the one rule
// every front end follows, each measuring the captions with its own toolkit.
#pragma once

#include <functional>

namespace casino {

// The sizes a front end's fonts come in, in its toolkit's own unit (pixels, points).
struct FontSizes {
    double full;      // the desktop's own font, where the search starts
    double smallest;  // no caption is made smaller than this (nor larger than full), fitting or not
    double step;      // the finest difference in size the toolkit's fonts make
};

// How much every caption would have to shrink to fit its button at a size, as a factor:
// 1 or more when they all fit. Each call measures every caption in a font of that size.
using CaptionRoom = std::function<double(double size)>;

// The size the buttons' font takes: the largest, in whole steps down from the full size, at
// which every caption fits; the smallest size when none does.
double caption_size(const FontSizes& sizes, const CaptionRoom& room);

}  // namespace casino
