// The .ico file of casino.exe: a directory of images, each a bitmap header, a palette,
// the colour bits and the transparency mask, rows from the bottom.
#include "ico.h"

#include <array>
#include <cmath>
#include <span>

namespace icon {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct Rgb {
    int r, g, b;
};

constexpr std::array<Rgb, 2> kTwo{{{0, 0, 0}, {255, 255, 255}}};
// The standard sixteen colours, in their usual order.
constexpr std::array<Rgb, 16> kSixteen{{
    {0, 0, 0},
    {128, 0, 0},
    {0, 128, 0},
    {128, 128, 0},
    {0, 0, 128},
    {128, 0, 128},
    {0, 128, 128},
    {192, 192, 192},
    {128, 128, 128},
    {255, 0, 0},
    {0, 255, 0},
    {255, 255, 0},
    {0, 0, 255},
    {255, 0, 255},
    {0, 255, 255},
    {255, 255, 255},
}};

std::span<const Rgb> palette_of(Colours colours) {
    if (colours == Colours::two) return kTwo;
    return kSixteen;
}

int bits_of(Colours colours) { return colours == Colours::two ? 1 : 4; }

void put_u16(Bytes& out, std::uint32_t value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

void put_u32(Bytes& out, std::uint32_t value) {
    put_u16(out, value & 0xFFFF);
    put_u16(out, value >> 16);
}

// A colour as the eye tells colours apart (CIE L*a*b*, daylight white): in plain red, green
// and blue the wheel's browns lie as near to olive as to maroon.
struct Lab {
    double l, a, b;
};

Lab lab_of(const Rgb& c) {
    const auto linear = [](int v) {
        const double u = v / 255.0;
        return u > 0.04045 ? std::pow((u + 0.055) / 1.055, 2.4) : u / 12.92;
    };
    const double r = linear(c.r);
    const double g = linear(c.g);
    const double b = linear(c.b);
    const auto f = [](double t) { return t > 0.008856 ? std::cbrt(t) : 7.787 * t + 16.0 / 116; };
    const double x = f((0.4124 * r + 0.3576 * g + 0.1805 * b) / 0.95047);
    const double y = f(0.2126 * r + 0.7152 * g + 0.0722 * b);
    const double z = f((0.0193 * r + 0.1192 * g + 0.9505 * b) / 1.08883);
    return {116 * y - 16, 500 * (x - y), 200 * (y - z)};
}

// The palette index nearest to a colour; the first of equals, so the choice is fixed.
std::uint32_t nearest(std::span<const Rgb> palette, const Rgb& colour) {
    const Lab want = lab_of(colour);
    std::uint32_t best = 0;
    double best_distance = -1;
    for (std::size_t i = 0; i < palette.size(); ++i) {
        const Lab got = lab_of(palette[i]);
        const double distance = (want.l - got.l) * (want.l - got.l) +
                                (want.a - got.a) * (want.a - got.a) +
                                (want.b - got.b) * (want.b - got.b);
        if (best_distance < 0 || distance < best_distance) {
            best = static_cast<std::uint32_t>(i);
            best_distance = distance;
        }
    }
    return best;
}

// One row of values, `bits` each, the first in the highest bits, padded to whole
// 32-bit words.
void put_row(Bytes& out, const std::vector<std::uint32_t>& values, int bits) {
    const std::size_t start = out.size();
    std::uint32_t byte = 0;
    int filled = 0;
    for (const std::uint32_t value : values) {
        byte = (byte << bits) | value;
        filled += bits;
        if (filled == 8) {
            out.push_back(static_cast<std::uint8_t>(byte));
            byte = 0;
            filled = 0;
        }
    }
    if (filled > 0) out.push_back(static_cast<std::uint8_t>(byte << (8 - filled)));
    while ((out.size() - start) % 4 != 0) out.push_back(0);
}

// A bitmap header, the palette, the colour bits, then the mask (1 where transparent).
Bytes image_data(const IcoImage& entry) {
    const Image& image = entry.image;
    const std::span<const Rgb> palette = palette_of(entry.colours);
    const int bits = bits_of(entry.colours);
    const auto size = static_cast<std::size_t>(image.size);
    Bytes colour_bits;
    Bytes mask_bits;
    for (std::size_t y = size; y-- > 0;) {  // a bitmap's rows go from the bottom
        std::vector<std::uint32_t> colour(size);
        std::vector<std::uint32_t> mask(size);
        for (std::size_t x = 0; x < size; ++x) {
            const std::uint8_t* pixel = &image.rgba[(y * size + x) * 4];
            const bool transparent = pixel[3] < 128;
            colour[x] = transparent ? 0 : nearest(palette, Rgb{pixel[0], pixel[1], pixel[2]});
            mask[x] = transparent ? 1 : 0;
        }
        put_row(colour_bits, colour, bits);
        put_row(mask_bits, mask, 1);
    }

    Bytes out;
    put_u32(out, 40);  // the header's own size
    put_u32(out, static_cast<std::uint32_t>(size));
    put_u32(out, static_cast<std::uint32_t>(size * 2));  // the colours and the mask, stacked
    put_u16(out, 1);                                     // planes
    put_u16(out, static_cast<std::uint32_t>(bits));
    put_u32(out, 0);  // uncompressed
    put_u32(out, static_cast<std::uint32_t>(colour_bits.size() + mask_bits.size()));
    put_u32(out, 0);  // no resolution
    put_u32(out, 0);
    put_u32(out, static_cast<std::uint32_t>(palette.size()));
    put_u32(out, 0);  // every colour is important
    for (const Rgb& c : palette) {
        out.insert(out.end(), {static_cast<std::uint8_t>(c.b), static_cast<std::uint8_t>(c.g),
                               static_cast<std::uint8_t>(c.r), 0});
    }
    out.insert(out.end(), colour_bits.begin(), colour_bits.end());
    out.insert(out.end(), mask_bits.begin(), mask_bits.end());
    return out;
}

}  // namespace

std::vector<std::uint8_t> ico_file(const std::vector<IcoImage>& images) {
    std::vector<Bytes> data;
    for (const IcoImage& entry : images) data.push_back(image_data(entry));

    Bytes out;
    put_u16(out, 0);  // reserved
    put_u16(out, 1);  // an icon, not a cursor
    put_u16(out, static_cast<std::uint32_t>(images.size()));
    std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        const auto size = static_cast<std::uint8_t>(images[i].image.size);  // 256 is written 0
        out.insert(out.end(), {size, size});
        out.push_back(static_cast<std::uint8_t>(palette_of(images[i].colours).size()));
        out.push_back(0);  // reserved
        put_u16(out, 1);   // planes
        put_u16(out, static_cast<std::uint32_t>(bits_of(images[i].colours)));
        put_u32(out, static_cast<std::uint32_t>(data[i].size()));
        put_u32(out, offset);
        offset += static_cast<std::uint32_t>(data[i].size());
    }
    for (const Bytes& d : data) out.insert(out.end(), d.begin(), d.end());
    return out;
}

}  // namespace icon
