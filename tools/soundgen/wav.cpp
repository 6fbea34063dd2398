// Writing 16-bit PCM mono wav files.
#include "wav.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>

namespace soundgen {
namespace {

// RIFF fields are little-endian whatever the host is.
void put16(std::ofstream& out, std::uint16_t v) {
    const char bytes[2] = {static_cast<char>(v & 0xff), static_cast<char>(v >> 8)};
    out.write(bytes, 2);
}

void put32(std::ofstream& out, std::uint32_t v) {
    put16(out, static_cast<std::uint16_t>(v & 0xffff));
    put16(out, static_cast<std::uint16_t>(v >> 16));
}

}  // namespace

bool write_wav(const std::string& path, const std::vector<float>& samples, int sample_rate) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) return false;

    const auto data_bytes = static_cast<std::uint32_t>(samples.size() * 2);
    const auto rate = static_cast<std::uint32_t>(sample_rate);
    out.write("RIFF", 4);
    put32(out, 36 + data_bytes);
    out.write("WAVE", 4);
    out.write("fmt ", 4);
    put32(out, 16);  // size of the format chunk
    put16(out, 1);   // PCM
    put16(out, 1);   // mono
    put32(out, rate);
    put32(out, rate * 2);  // bytes per second
    put16(out, 2);         // bytes per frame
    put16(out, 16);        // bits per sample
    out.write("data", 4);
    put32(out, data_bytes);
    for (const float s : samples) {
        const float clipped = std::clamp(s, -1.0f, 1.0f);
        const auto value = static_cast<std::int16_t>(std::lround(clipped * 32767.0f));
        put16(out, static_cast<std::uint16_t>(value));
    }
    return static_cast<bool>(out);
}

}  // namespace soundgen
