// Reading the number a player typed into an input box.
#pragma once

#include <cstdint>
#include <string_view>

namespace casino {

// Reads a decimal number from the start of the text: blanks are skipped anywhere in it
// ("1 000" is 1000), a sign may lead, a point separates the fraction, and reading stops
// at the first character that cannot continue the number. A text that does not begin
// with a number reads 0. The value is rounded to the nearest whole number, halves to the
// even neighbour, as the typed digits themselves say (however many there are), and clamped
// to -32768..32767 so that no typed text can wrap it.
std::int16_t read_number(std::string_view text);

}  // namespace casino
