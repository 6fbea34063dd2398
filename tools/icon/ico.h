// The .ico file of casino.exe: the wheel in the few colours of the images Windows asks a
// program's icon for.
#pragma once

#include <cstdint>
#include <vector>

#include "wheel.h"

namespace icon {

// How many colours an image of the .ico has: black and white, or the sixteen of the
// standard palette.
enum class Colours : std::uint8_t { two, sixteen };

struct IcoImage {
    Image image;
    Colours colours;
};

// The images as one .ico file, in the order given. Each pixel takes the nearest colour of
// its palette; a pixel less than half covered is transparent.
std::vector<std::uint8_t> ico_file(const std::vector<IcoImage>& images);

}  // namespace icon
