// The window's icons, from the PNGs the build renders from tools/icon/casino.svg and xxd
// turns into the arrays included below (src/frontends/wx/CMakeLists.txt).
#include "window_icons.h"

#include <wx/bitmap.h>
#include <wx/icon.h>
#include <wx/image.h>
#include <wx/imagpng.h>

#include <cstddef>

namespace casino::wx {
namespace {

const unsigned char kIcon16[] = {
#include "icon_16.inc"
};
const unsigned char kIcon32[] = {
#include "icon_32.inc"
};
const unsigned char kIcon48[] = {
#include "icon_48.inc"
};
const unsigned char kIcon64[] = {
#include "icon_64.inc"
};

struct Png {
    const unsigned char* bytes;
    std::size_t size;
};

}  // namespace

wxIconBundle window_icons() {
    // wx reads a PNG with its handler, which the game registers here as it needs no other.
    if (wxImage::FindHandler(wxBITMAP_TYPE_PNG) == nullptr) wxImage::AddHandler(new wxPNGHandler);
    wxIconBundle icons;
    for (const Png& png : {Png{kIcon16, sizeof kIcon16}, Png{kIcon32, sizeof kIcon32},
                           Png{kIcon48, sizeof kIcon48}, Png{kIcon64, sizeof kIcon64}}) {
        wxIcon icon;
        icon.CopyFromBitmap(wxBitmap::NewFromPNGData(png.bytes, png.size));
        icons.AddIcon(icon);
    }
    return icons;
}

}  // namespace casino::wx
