// The controls' fonts, and the captions measured against their buttons.
#include "caption_font.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "core/caption_fit.h"
#include "core/controls.h"
#include "placement.h"
#include "text.h"

namespace casino::win32 {
namespace {

LOGFONTW message_font(int dpi) {
    LOGFONTW font{};
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
        font = metrics.lfMessageFont;
    } else {
        GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
    }
    font.lfHeight = MulDiv(font.lfHeight, dpi, system_dpi());
    return font;
}

// How far, at 96 dpi, a caption must keep from a button's edges to stay clear of the
// focus rectangle: the frame, the rectangle's inset, its dotted line and a pixel of air.
constexpr int kCaptionMarginX = 5;
constexpr int kCaptionMarginY = 4;

// How much the buttons' captions must shrink, in this font, to stand clear of their focus
// rectangles: 1 or more when they do.
double room_in(HDC dc, HFONT font, int dpi) {
    const HGDIOBJ previous = SelectObject(dc, font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    const int margin_x = MulDiv(kCaptionMarginX, dpi, USER_DEFAULT_SCREEN_DPI);
    const int margin_y = MulDiv(kCaptionMarginY, dpi, USER_DEFAULT_SCREEN_DPI);
    const int letters = metrics.tmHeight - metrics.tmInternalLeading;
    double scale = 1e9;
    for (const ControlSpec& entry : kControls) {
        if (entry.kind != ControlKind::Button) continue;
        const std::wstring caption = widen(entry.caption);
        SIZE size{};
        GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &size);
        scale =
            std::min(scale, static_cast<double>(twips_to_pixels(entry.width, dpi) - 2 * margin_x) /
                                std::max<LONG>(size.cx, 1));
        scale =
            std::min(scale, static_cast<double>(twips_to_pixels(entry.height, dpi) - 2 * margin_y) /
                                std::max(letters, 1));
    }
    SelectObject(dc, previous);
    return scale;
}

// A font's height in pixels is its size; a negative height measures the letters, a
// positive one the whole cell, and the sign is kept.
LOGFONTW at_size(LOGFONTW font, double size) {
    const auto pixels = static_cast<LONG>(std::lround(size));
    font.lfHeight = font.lfHeight < 0 ? -pixels : pixels;
    return font;
}

}  // namespace

HFONT list_font(int dpi) {
    const LOGFONTW font = message_font(dpi);
    return CreateFontIndirectW(&font);
}

HFONT caption_font(HWND window, int dpi) {
    const LOGFONTW base = message_font(dpi);
    HDC dc = GetDC(window);
    const CaptionRoom room = [&](double size) {
        const LOGFONTW font = at_size(base, size);
        HFONT trial = CreateFontIndirectW(&font);
        const double scale = room_in(dc, trial, dpi);
        DeleteObject(trial);
        return scale;
    };
    // GDI makes fonts in whole pixels, so the steps are pixels; never below six points.
    const FontSizes sizes{static_cast<double>(std::abs(base.lfHeight)),
                          static_cast<double>(MulDiv(8, dpi, USER_DEFAULT_SCREEN_DPI)), 1};
    const LOGFONTW chosen = at_size(base, caption_size(sizes, room));
    ReleaseDC(window, dc);
    return CreateFontIndirectW(&chosen);
}

}  // namespace casino::win32
