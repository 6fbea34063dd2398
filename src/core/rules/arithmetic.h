// The game's arithmetic: money kept in 16 bits without ever wrapping, and rounding.
#pragma once

#include <cstdint>

namespace casino::rules {

// money + amount, formed in 32 bits; a sum beyond the 16-bit range stores its limit
// instead of wrapping (the house pays no more than 32767).
std::int16_t add_money(std::int16_t money, std::int32_t amount);

// Whether money can pay the price without going below zero; tested in 32 bits, so a
// price far beyond the purse never passes through a wrapped value.
bool can_pay(std::int16_t money, std::int32_t price);

// Nearest whole number, halves to the even neighbour.
double round_half_even(double value);

}  // namespace casino::rules
