// Reading typed numbers.
#include "core/number_reader.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

#include "core/rules/arithmetic.h"

namespace casino {

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t'; }
bool is_digit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::int16_t read_number(std::string_view text) {
    // Gather the number's characters without blanks, then let from_chars do the
    // correctly rounded conversion.
    std::string cleaned;
    bool seen_sign = false;
    bool seen_point = false;
    bool seen_digit = false;
    for (const char c : text) {
        if (is_blank(c)) continue;
        if ((c == '-' || c == '+') && !seen_sign && !seen_point && !seen_digit) {
            seen_sign = true;
            if (c == '-') cleaned.push_back('-');
            continue;
        }
        if (c == '.' && !seen_point) {
            seen_point = true;
            cleaned.push_back('.');
            continue;
        }
        if (!is_digit(c)) break;
        seen_digit = true;
        // Leading zeros add nothing and would only lengthen the text.
        if (c == '0' && !seen_point && (cleaned.empty() || cleaned == "-")) continue;
        cleaned.push_back(c);
    }
    if (!seen_digit) return 0;

    // A run of zeros alone was dropped above: it is still the number zero.
    if (cleaned.empty() || cleaned == "-" || cleaned == "." || cleaned == "-.") return 0;

    double value = 0.0;
    const char* first = cleaned.data();
    const char* last = first + cleaned.size();
    const auto [ptr, ec] = std::from_chars(first, last, value, std::chars_format::fixed);
    if (ec == std::errc::result_out_of_range) {
        // Beyond what a double holds: huge when a digit stands before the point (leading
        // zeros were dropped), otherwise a vanishing fraction.
        const std::size_t digits_from = cleaned.front() == '-' ? 1 : 0;
        const bool huge = digits_from < cleaned.size() && cleaned[digits_from] != '.';
        if (!huge) return 0;
        value = digits_from == 1 ? -1e300 : 1e300;
    } else if (ec != std::errc{}) {
        return 0;
    }
    (void)ptr;

    const double rounded = rules::round_half_even(value);
    constexpr double lo = std::numeric_limits<std::int16_t>::min();
    constexpr double hi = std::numeric_limits<std::int16_t>::max();
    if (rounded <= lo) return std::numeric_limits<std::int16_t>::min();
    if (rounded >= hi) return std::numeric_limits<std::int16_t>::max();
    return static_cast<std::int16_t>(rounded);
}

}  // namespace casino
