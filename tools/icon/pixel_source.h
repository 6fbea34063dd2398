// The wheel as C++ source: pixel arrays the Linux program compiles in as its window's
// icons, so that it draws nothing at start-up.
#pragma once

#include <string>
#include <vector>

#include "wheel.h"

namespace icon {

// A source file defining casino::wx::kWindowIcons (declared in the wx front end's
// window_icons.h) from the pictures: for each, its red, green and blue bytes and its alpha
// bytes, as wxImage takes them.
std::string pixel_source(const std::vector<Image>& images);

}  // namespace icon
