// The numbers bet: one chip on each of up to 36 numbers the player names.
#include <vector>

#include "app/form1.h"

namespace casino {

void Form1::cmdnum_Click() {
    if (open_bet() == BetOutcome::Closed) return;

    const std::int16_t count = ask_number("на сколько чисел ставишь?");
    if (count <= 0 || count > 36) return;

    const std::int32_t stake = std::int32_t{count} * state_.chipprice;
    if (take_stake(stake) == Stake::Refused) return;

    std::vector<std::int16_t> picks;
    picks.reserve(static_cast<std::size_t>(count));
    for (int position = 1; position <= count; ++position) {
        const std::int16_t pick = ask_number("число");
        if (pick < 0 || pick > 36) {
            // A number off the wheel calls the whole bet off.
            add_money(stake);
            return;
        }
        picks.push_back(pick);
    }

    // Each chip on the drawn number pays on its own, as separate chips would.
    int hits = 0;
    for (const std::int16_t pick : picks) {
        if (pick != state_.number) continue;
        ++hits;
        add_money(36 * state_.chipprice);
    }

    play_cue("sound\\nomore.wav");
    if (state_.number == 0) {
        if (hits == 0) pay_half_back(stake);
        message("зеро господа!");
        return;
    }
    announce_number();
}

}  // namespace casino
