// PNG files of the wheel: a signature, a header, the pixels in a zlib stream, and an end.
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

// Bits into bytes, the first bit the lowest, as deflate writes them.
class BitWriter {
   public:
    explicit BitWriter(Bytes& out) : out_(out) {}
    void bits(std::uint32_t value, int count) {
        for (int i = 0; i < count; ++i) put((value >> i) & 1U);
    }
    // A Huffman code goes out from its highest bit.
    void code(std::uint32_t value, int length) {
        for (int i = length - 1; i >= 0; --i) put((value >> i) & 1U);
    }
    void flush() {
        if (used_ > 0) out_.push_back(byte_);
        byte_ = 0;
        used_ = 0;
    }

   private:
    void put(std::uint32_t bit) {
        byte_ = static_cast<std::uint8_t>(byte_ | (bit << used_));
        if (++used_ == 8) flush();
    }
    Bytes& out_;
    std::uint8_t byte_ = 0;
    int used_ = 0;
};

// A literal, a length code or the end of the block, in deflate's fixed Huffman code.
void fixed_symbol(BitWriter& w, int symbol) {
    if (symbol < 144) {
        w.code(static_cast<std::uint32_t>(0x30 + symbol), 8);
    } else if (symbol < 256) {
        w.code(static_cast<std::uint32_t>(0x190 + symbol - 144), 9);
    } else if (symbol < 280) {
        w.code(static_cast<std::uint32_t>(symbol - 256), 7);
    } else {
        w.code(static_cast<std::uint32_t>(0xC0 + symbol - 280), 8);
    }
}

constexpr std::array<int, 29> kLengthBase{3,  4,  5,  6,  7,  8,  9,  10, 11,  13,
                                          15, 17, 19, 23, 27, 31, 35, 43, 51,  59,
                                          67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::array<int, 29> kLengthExtra{0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                           2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr std::array<int, 30> kDistanceBase{1,    2,    3,    4,    5,    7,     9,    13,
                                            17,   25,   33,   49,   65,   97,    129,  193,
                                            257,  385,  513,  769,  1025, 1537,  2049, 3073,
                                            4097, 6145, 8193, 12289, 16385, 24577};
constexpr std::array<int, 30> kDistanceExtra{0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                             6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

void match(BitWriter& w, int length, int distance) {
    std::size_t l = kLengthBase.size() - 1;
    while (kLengthBase[l] > length) --l;
    fixed_symbol(w, 257 + static_cast<int>(l));
    w.bits(static_cast<std::uint32_t>(length - kLengthBase[l]), kLengthExtra[l]);
    std::size_t d = kDistanceBase.size() - 1;
    while (kDistanceBase[d] > distance) --d;
    w.code(static_cast<std::uint32_t>(d), 5);
    w.bits(static_cast<std::uint32_t>(distance - kDistanceBase[d]), kDistanceExtra[d]);
}

// A zlib stream of one deflate block in the fixed Huffman code, the repeats found by a
// greedy search over the last 32 KiB. Rows of a wheel repeat themselves a great deal, so
// this is enough to make the large icons small; the same data always gives the same bytes.
Bytes deflate_zlib(const Bytes& data) {
    constexpr int kWindow = 32768;
    constexpr int kMaxLength = 258;
    constexpr int kMinLength = 3;
    constexpr int kChainSteps = 64;  // how many earlier places each search tries
    constexpr std::size_t kHashSize = 1 << 15;
    Bytes out{0x78, 0x01};  // deflate with a 32 KiB window, no preset dictionary
    BitWriter w(out);
    w.bits(1, 1);  // BFINAL
    w.bits(1, 2);  // BTYPE 01: the fixed Huffman code

    std::vector<int> head(kHashSize, -1);
    std::vector<int> previous(data.size(), -1);
    const auto hash = [&](std::size_t i) {
        return ((std::size_t{data[i]} << 10) ^ (std::size_t{data[i + 1]} << 5) ^ data[i + 2]) &
               (kHashSize - 1);
    };
    const auto remember = [&](std::size_t i) {
        if (i + kMinLength > data.size()) return;
        const std::size_t h = hash(i);
        previous[i] = head[h];
        head[h] = static_cast<int>(i);
    };

    std::size_t i = 0;
    while (i < data.size()) {
        int best_length = 0;
        int best_distance = 0;
        if (i + kMinLength <= data.size()) {
            const int most = static_cast<int>(std::min<std::size_t>(kMaxLength, data.size() - i));
            int candidate = head[hash(i)];
            for (int step = 0; candidate >= 0 && step < kChainSteps; ++step) {
                const int distance = static_cast<int>(i) - candidate;
                if (distance > kWindow) break;
                int length = 0;
                while (length < most && data[static_cast<std::size_t>(candidate + length)] ==
                                            data[i + static_cast<std::size_t>(length)]) {
                    ++length;
                }
                if (length > best_length) {
                    best_length = length;
                    best_distance = distance;
                    if (length == most) break;
                }
                candidate = previous[static_cast<std::size_t>(candidate)];
            }
        }
        if (best_length >= kMinLength) {
            match(w, best_length, best_distance);
            for (int k = 0; k < best_length; ++k) remember(i + static_cast<std::size_t>(k));
            i += static_cast<std::size_t>(best_length);
        } else {
            fixed_symbol(w, data[i]);
            remember(i);
            ++i;
        }
    }
    fixed_symbol(w, 256);  // the end of the block
    w.flush();
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
    put_chunk(out, "IDAT", deflate_zlib(raw));
    put_chunk(out, "IEND", {});
    return out;
}

}  // namespace icon
