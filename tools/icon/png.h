// PNG files of the wheel, for the Linux desktop's icon theme.
#pragma once

#include <cstdint>
#include <vector>

#include "wheel.h"

namespace icon {

// The picture as a PNG file: 8-bit red, green, blue and alpha, compressed by deflate's
// fixed code; no chunk records a time, so the same picture is always the same file.
std::vector<std::uint8_t> png_file(const Image& image);

}  // namespace icon
