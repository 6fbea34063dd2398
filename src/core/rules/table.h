// The table's own rules: what a game starts with, what a bet needs, and what a typed count
// of chips does to a bet.
#pragma once

#include <cstdint>
#include <string>

namespace casino::rules {

// Every game starts with this cash, and so does a game started over.
inline constexpr std::int16_t kStartingMoney = 60;

// The least cash with which a bet can be opened, after the fortune events.
inline constexpr std::int16_t kBetMinimum = 20;

// What a count typed for one spot of a bet (a colour, a dozen, how many numbers) does.
enum class Count : std::uint8_t {
    Chips,    // a positive count: that many chips
    Empty,    // zero (also what an empty or cancelled answer reads): no chips on this spot
    CallOff,  // a negative count: the whole bet is off, and what it took goes back
};
Count count_of(int count);

// A bet whose spots hold no chips at all is no bet: it ends without a word, as one called
// off does.
inline bool is_bet(std::int32_t chips_in_all) { return chips_in_all > 0; }

// The greeting at the door, which names the starting money: "у тебя 60 баксов.".
std::string greeting();

}  // namespace casino::rules
