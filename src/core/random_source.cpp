// The random source: a small 64-bit generator whose top 24 bits make each float.
#include "core/random_source.h"

#include <cstring>

namespace casino {

namespace {

// splitmix64: every seed gives a well-mixed, full-period sequence.
std::uint64_t splitmix(std::uint64_t& state) {
    state += 0x9E3779B97F4A7C15ULL;
    std::uint64_t z = state;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

}  // namespace

RandomSource::RandomSource() { reseed(0.0F); }

void RandomSource::reseed(float seed) {
    // The seed's bits as they are (memcpy rather than std::bit_cast, which not every
    // standard library of ours has yet).
    std::uint32_t bits = 0;
    static_assert(sizeof bits == sizeof seed);
    std::memcpy(&bits, &seed, sizeof bits);
    state_ = 0x243F6A8885A308D3ULL ^ bits;
    splitmix(state_);
}

float RandomSource::next() {
    // 24 bits fill a float's mantissa exactly, so the value is below 1 without rounding.
    const auto bits = static_cast<std::uint32_t>(splitmix(state_) >> 40);
    return static_cast<float>(bits) * 0x1p-24F;
}

}  // namespace casino
