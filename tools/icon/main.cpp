// icon: draws the game's icon, a roulette wheel, and writes it in the form each program
// takes it:
//   icon png <size> <file.png>          one size for the Linux desktop's icon theme
//   icon ico <file.ico>                 casino.exe's icon: 32x32 in 2 colours, 32x32 and
//                                       16x16 in 16 colours
//   icon source <file.cpp> <size>...    the Linux program's window icons, compiled in
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "ico.h"
#include "pixel_source.h"
#include "png.h"
#include "wheel.h"

namespace {

template <typename Bytes>
bool write_file(const char* path, const Bytes& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    file.close();
    if (file) return true;
    std::fprintf(stderr, "icon: cannot write %s\n", path);
    return false;
}

// A size in pixels: a whole number from 1 to 512, the largest an installed web app asks for.
int size_of(const char* text) {
    char* end = nullptr;
    const long size = std::strtol(text, &end, 10);
    return end != text && *end == '\0' && size >= 1 && size <= 512 ? static_cast<int>(size) : 0;
}

int usage() {
    std::fprintf(stderr,
                 "usage: icon png <size> <file.png>\n"
                 "       icon ico <file.ico>\n"
                 "       icon source <file.cpp> <size>...\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string_view command = argc > 1 ? argv[1] : "";
    if (command == "png" && argc == 4) {
        const int size = size_of(argv[2]);
        if (size == 0) return usage();
        return write_file(argv[3], icon::png_file(icon::draw_wheel(size))) ? 0 : 1;
    }
    if (command == "ico" && argc == 3) {
        const std::vector<icon::IcoImage> images{
            {icon::draw_wheel(32), icon::Colours::two},
            {icon::draw_wheel(32), icon::Colours::sixteen},
            {icon::draw_wheel(16), icon::Colours::sixteen},
        };
        return write_file(argv[2], icon::ico_file(images)) ? 0 : 1;
    }
    if (command == "source" && argc >= 4) {
        std::vector<icon::Image> images;
        for (int i = 3; i < argc; ++i) {
            const int size = size_of(argv[i]);
            if (size == 0) return usage();
            images.push_back(icon::draw_wheel(size));
        }
        return write_file(argv[2], icon::pixel_source(images)) ? 0 : 1;
    }
    return usage();
}
