// make_icon: writes the game's icon as a PNG file, for the desktop entry.
#include <wx/image.h>
#include <wx/init.h>

#include <cstdio>
#include <cstdlib>

#include "wheel_art.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_icon <size> <file.png>\n");
        return 2;
    }
    const wxInitializer wx;
    if (!wx.IsOk()) return 1;
    wxImage::AddHandler(new wxPNGHandler);

    const int size = std::atoi(argv[1]);
    if (size <= 0) return 2;
    return casino::wx::wheel_image(size).SaveFile(argv[2], wxBITMAP_TYPE_PNG) ? 0 : 1;
}
