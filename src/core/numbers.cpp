// The numbers bet: one chip on each of up to 36 numbers the player names.
#include <vector>

#include "core/form1.h"

namespace casino {

void Form1::cmdnum_Click() {
    if (open_bet() == BetOutcome::Closed) return;

    const std::int16_t count = ask_number("на сколько чисел ставишь?");
    if (!rules::valid_number_count(count)) return;

    const std::int32_t stake = std::int32_t{count} * state_.chipprice;
    if (take_stake(stake) == Stake::Refused) return;

    std::vector<std::int16_t> picks;
    picks.reserve(static_cast<std::size_t>(count));
    for (int position = 1; position <= count; ++position) {
        const std::int16_t pick = ask_number("число");
        if (!rules::on_the_wheel(pick)) {
            // A number off the wheel calls the whole bet off.
            call_off(stake);
            return;
        }
        picks.push_back(pick);
    }

    add_money(rules::numbers_payout(state_.number, picks, state_.chipprice));
    play_cue(rules::Cue::nomore);
    announce_number();
}

}  // namespace casino
