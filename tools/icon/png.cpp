// PNG files of the wheel: a signature, a header, the pixels in a zlib stream of stored
// blocks, and an end.
#include "png.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace icon {
namespace {

using Bytes = std::vector<std::uint8_t>;

void put_u32(Bytes& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(value >> shift));
}

// The CRC-32 of ISO 3309, which every chunk ends with.
std::uint32_t crc32(const std::uint8_t* data, std::size_t length) {
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = (c & 1) != 0 ? 0xEDB88320U ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    std::uint32_t crc = 0xFFFFFFFFU;
    for (std::size_t i = 0; i < length; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFU;
}

// The checksum a zlib stream ends with.
std::uint32_t adler32(const Bytes& data) {
    constexpr std::uint32_t kModulus = 65521;
    std::uint32_t a = 1;
    std::uint32_t b = 0;
    for (const std::uint8_t byte : data) {
        a = (a + byte) % kModulus;
        b = (b + a) % kModulus;
    }
    return (b << 16) | a;
}

void put_chunk(Bytes& out, std::string_view type, const Bytes& data) {
    put_u32(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t start = out.size();
    out.insert(out.end(), type.begin(), type.end());
    out.insert(out.end(), data.begin(), data.end());
    put_u32(out, crc32(out.data() + start, out.size() - start));
}

// A zlib stream that stores the data as it is, in blocks of at most 65535 bytes.
Bytes stored_zlib(const Bytes& data) {
    constexpr std::size_t kBlock = 65535;
    Bytes out{0x78, 0x01};  // deflate with a 32 KiB window, no preset dictionary
    std::size_t at = 0;
    do {
        const std::size_t length = std::min(kBlock, data.size() - at);
        const bool last = at + length == data.size();
        out.push_back(last ? 1 : 0);  // BFINAL, and BTYPE 00: stored
        const auto len = static_cast<std::uint16_t>(length);
        const auto nlen = static_cast<std::uint16_t>(~len);
        for (const std::uint16_t v : {len, nlen}) {
            out.push_back(static_cast<std::uint8_t>(v & 0xFF));
            out.push_back(static_cast<std::uint8_t>(v >> 8));
        }
        out.insert(out.end(), data.begin() + static_cast<std::ptrdiff_t>(at),
                   data.begin() + static_cast<std::ptrdiff_t>(at + length));
        at += length;
    } while (at < data.size());
    put_u32(out, adler32(data));
    return out;
}

}  // namespace

std::vector<std::uint8_t> png_file(const Image& image) {
    const auto size = static_cast<std::uint32_t>(image.size);
    Bytes out{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

    Bytes header;
    put_u32(header, size);
    put_u32(header, size);
    // 8 bits a sample, red green blue alpha, deflate, adaptive filtering, no interlace.
    header.insert(header.end(), {8, 6, 0, 0, 0});
    put_chunk(out, "IHDR", header);

    // Every row starts with its filter type, 0: the bytes as they are.
    const std::size_t row = static_cast<std::size_t>(size) * 4;
    Bytes raw;
    raw.reserve((row + 1) * size);
    for (std::size_t y = 0; y < size; ++y) {
        raw.push_back(0);
        const auto from = image.rgba.begin() + static_cast<std::ptrdiff_t>(y * row);
        raw.insert(raw.end(), from, from + static_cast<std::ptrdiff_t>(row));
    }
    put_chunk(out, "IDAT", stored_zlib(raw));
    put_chunk(out, "IEND", {});
    return out;
}

}  // namespace icon
