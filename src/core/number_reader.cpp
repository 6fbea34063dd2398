// Reading typed numbers, exactly: the text's own decimal digits decide the rounding, so
// no binary fraction ever stands between what was typed and the 16-bit result.
#include "core/number_reader.h"

#include <cstdint>
#include <limits>

namespace casino {

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t'; }
bool is_digit(char c) { return c >= '0' && c <= '9'; }

// Beyond this the whole part only needs to say "too big": it is already past every 16-bit
// value, and the limit keeps the sum far from overflowing whatever digits follow.
constexpr std::int32_t kBeyondRange = 100000;

}  // namespace

std::int16_t read_number(std::string_view text) {
    bool negative = false;
    bool seen_sign = false;
    bool seen_point = false;
    bool seen_digit = false;
    std::int32_t whole = 0;
    // What the fraction's digits say about rounding: its first digit, and whether any
    // digit after that one is not zero.
    int first_fraction_digit = -1;
    bool more_after_first = false;

    for (const char c : text) {
        if (is_blank(c)) continue;
        if ((c == '-' || c == '+') && !seen_sign && !seen_point && !seen_digit) {
            seen_sign = true;
            negative = c == '-';
            continue;
        }
        if (c == '.' && !seen_point) {
            seen_point = true;
            continue;
        }
        if (!is_digit(c)) break;
        seen_digit = true;
        const int digit = c - '0';
        if (!seen_point) {
            whole = whole >= kBeyondRange ? kBeyondRange : whole * 10 + digit;
        } else if (first_fraction_digit < 0) {
            first_fraction_digit = digit;
        } else if (digit != 0) {
            more_after_first = true;
        }
    }
    if (!seen_digit) return 0;

    // Round the size of the number, halves to the even neighbour; the sign does not change
    // which neighbour is nearer.
    const bool above_half = first_fraction_digit > 5 || (first_fraction_digit == 5 && more_after_first);
    const bool exactly_half = first_fraction_digit == 5 && !more_after_first;
    if (above_half || (exactly_half && whole % 2 == 1)) ++whole;

    const std::int32_t value = negative ? -whole : whole;
    constexpr std::int32_t lo = std::numeric_limits<std::int16_t>::min();
    constexpr std::int32_t hi = std::numeric_limits<std::int16_t>::max();
    if (value < lo) return lo;
    if (value > hi) return hi;
    return static_cast<std::int16_t>(value);
}

}  // namespace casino
