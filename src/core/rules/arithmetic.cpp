// The game's arithmetic.
#include "arithmetic.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace casino::rules {

std::int16_t add_money(std::int16_t money, std::int32_t amount) {
    constexpr std::int32_t lo = std::numeric_limits<std::int16_t>::min();
    constexpr std::int32_t hi = std::numeric_limits<std::int16_t>::max();
    // Amounts stay far below 2^31 (at most 3 x 32767 chips x 100), so the sum is exact.
    return static_cast<std::int16_t>(std::clamp(std::int32_t{money} + amount, lo, hi));
}

bool can_pay(std::int16_t money, std::int32_t price) { return std::int32_t{money} - price >= 0; }

double round_half_even(double value) {
    const double down = std::floor(value);
    const double diff = value - down;
    if (diff < 0.5) return down;
    if (diff > 0.5) return down + 1.0;
    return std::fmod(down, 2.0) == 0.0 ? down : down + 1.0;
}

}  // namespace casino::rules
