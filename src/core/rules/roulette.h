// The roulette's rules: the spin's draws, the chip price, the colours and the payouts.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace casino::rules {

// ---- The spin ----

// What one spin draws, in this order, each from its own value r, 0 <= r < 1.
struct SpinResult {
    std::int16_t number;     // the winning number, 0..36
    std::int16_t eventroll;  // 0..15, steers the fortune events
    std::int32_t priceroll;  // 0..17, sets the chip price and steers fortune events
    std::int16_t fine;       // 50..99, the indecency fine
};
SpinResult spin(const std::array<float, 4>& draws);

// floor(r * count + offset), formed in double precision, so a draw just below 1 never
// reaches the excluded upper end.
int draw_floor(float r, int count, int offset = 0);

// The chip price for a price roll: 20, 40, 60, 80 or 100; none for a roll the spin never
// makes.
std::optional<std::int32_t> chip_price(std::int32_t priceroll);

// ---- Colours ----

// The game's colours go by range, not by a wheel's layout: 1..18 are red, 19..36 black,
// and zero has no colour.
bool is_red(int number);
bool is_black(int number);

// The colour word of a winning number as the game announces it, with its leading space:
// " красное" for 1..18, " черное" for 19..36. Zero has none.
std::string_view colour_word(int number);

// ---- The bets and what they pay back ----

// Half a stake, as a zero returns it: halves to even (every chip price is even, so it is
// always whole).
std::int32_t half_stake(std::int32_t stake);

enum class EvenMoney : std::uint8_t { red, black, odd, even };
bool wins(EvenMoney bet, int number);
// What comes back on an even-money stake: twice the stake on a win, half on zero.
std::int32_t even_money_payout(EvenMoney bet, int number, std::int32_t stake);

// What comes back on the dozen bet: three times the stake on the dozen holding the number,
// half of all three stakes on zero.
std::int32_t dozen_payout(int number, const std::array<std::int32_t, 3>& stakes);

// The numbers bet takes 1..36 numbers, each of them 0..36.
bool valid_number_count(int count);
bool on_the_wheel(int pick);
// What comes back on the numbers bet: 36 chips for every entry naming the drawn number
// (a number named twice pays twice), and half the stake on zero when zero was not named.
std::int32_t numbers_payout(int number, std::span<const std::int16_t> picks,
                            std::int32_t chipprice);

}  // namespace casino::rules
