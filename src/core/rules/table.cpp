// The table's own rules.
#include "table.h"

namespace casino::rules {

Count count_of(int count) {
    if (count < 0) return Count::CallOff;
    return count == 0 ? Count::Empty : Count::Chips;
}

// The greeting has a space before the amount; the balance on the menu has none.
std::string greeting() { return "у тебя " + std::to_string(kStartingMoney) + " баксов."; }

}  // namespace casino::rules
