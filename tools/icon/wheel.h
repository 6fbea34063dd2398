// The game's icon: a roulette wheel seen from above, drawn pixel by pixel.
#pragma once

#include <cstdint>
#include <vector>

namespace icon {

// A square picture: size x size pixels, four bytes each (red, green, blue, alpha), rows
// from the top.
struct Image {
    int size = 0;
    std::vector<std::uint8_t> rgba;
};

// The wheel at a size; every output the tool writes is made from this one drawing.
Image draw_wheel(int size);

}  // namespace icon
