// The game's icon: a roulette wheel seen from above, drawn pixel by pixel.
#pragma once

#include <wx/image.h>

#include <cstdint>
#include <vector>

namespace casino::wx {

// size x size pixels, four bytes each (red, green, blue, alpha), rows from the top.
std::vector<std::uint8_t> draw_wheel(int size);

// The same wheel as an image with an alpha channel.
wxImage wheel_image(int size);

}  // namespace casino::wx
