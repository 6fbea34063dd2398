// The window's icons, drawn at build time by tools/icon (window_icons.cpp is generated).
#pragma once

#include <array>

namespace casino::wx {

struct IconPixels {
    int size;                    // width and height in pixels
    const unsigned char* rgb;    // size x size pixels, red, green and blue, rows from the top
    const unsigned char* alpha;  // size x size opacities
};

extern const std::array<IconPixels, 4> kWindowIcons;

}  // namespace casino::wx
