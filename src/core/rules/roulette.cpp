// The roulette's rules.
#include "roulette.h"

#include <algorithm>
#include <cmath>

#include "arithmetic.h"
#include "table.h"

namespace casino::rules {

namespace {

struct PriceRow {
    int first_roll;
    int last_roll;
    std::int32_t price;
};

// The first row that holds the roll sets the price. 18 is never rolled.
constexpr PriceRow kPriceTable[] = {
    {0, 4, 20}, {5, 8, 40}, {9, 12, 60}, {13, 16, 80}, {17, 18, 100},
};

}  // namespace

int draw_floor(float r, int count, int offset) {
    const double value = r;
    return static_cast<int>(std::floor(value * count + offset));
}

SpinResult spin(const std::array<float, 4>& draws) {
    return SpinResult{
        static_cast<std::int16_t>(draw_floor(draws[0], 37)),
        static_cast<std::int16_t>(draw_floor(draws[1], 16)),
        draw_floor(draws[2], 18),
        static_cast<std::int16_t>(draw_floor(draws[3], 50, 50)),
    };
}

std::optional<std::int32_t> chip_price(std::int32_t priceroll) {
    for (const PriceRow& row : kPriceTable) {
        if (priceroll >= row.first_roll && priceroll <= row.last_roll) return row.price;
    }
    return std::nullopt;
}

bool is_red(int number) { return number >= 1 && number <= 18; }
bool is_black(int number) { return number >= 19 && number <= 36; }

std::string_view colour_word(int number) {
    if (is_red(number)) return " красное";
    if (is_black(number)) return " черное";
    return {};
}

std::int32_t half_stake(std::int32_t stake) {
    return static_cast<std::int32_t>(round_half_even(stake / 2.0));
}

bool wins(EvenMoney bet, int number) {
    switch (bet) {
        case EvenMoney::red: return is_red(number);
        case EvenMoney::black: return is_black(number);
        case EvenMoney::odd: return number % 2 == 1;
        case EvenMoney::even: return number != 0 && number % 2 == 0;
    }
    return false;
}

std::int32_t even_money_payout(EvenMoney bet, int number, std::int32_t stake) {
    if (number == 0) return half_stake(stake);
    return wins(bet, number) ? 2 * stake : 0;
}

std::int32_t dozen_payout(int number, const std::array<std::int32_t, 3>& stakes) {
    if (number == 0) return half_stake(stakes[0] + stakes[1] + stakes[2]);
    return 3 * stakes[static_cast<std::size_t>((number - 1) / 12)];
}

// At least one chip, and no more numbers than the wheel has beside zero.
bool valid_number_count(int count) { return count_of(count) == Count::Chips && count <= 36; }

bool on_the_wheel(int pick) { return pick >= 0 && pick <= 36; }

std::int32_t numbers_payout(int number, std::span<const std::int16_t> picks,
                            std::int32_t chipprice) {
    const auto hits = static_cast<std::int32_t>(std::count(picks.begin(), picks.end(), number));
    if (number == 0 && hits == 0) {
        return half_stake(static_cast<std::int32_t>(picks.size()) * chipprice);
    }
    return 36 * hits * chipprice;
}

}  // namespace casino::rules
