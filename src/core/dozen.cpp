// The dozen bet: chips on any of the three dozens in one spin.
#include <array>

#include "core/form1.h"

namespace casino {

void Form1::cmddu_Click() {
    if (open_bet() == BetOutcome::Closed) return;

    static constexpr std::array<std::string_view, 3> kPrompts{
        "сколько фишек ставишь на первую дюжину?",
        "сколько фишек ставишь на вторую дюжину?",
        "сколько фишек ставишь на третью дюжину?",
    };

    std::array<std::int32_t, 3> stakes{};
    std::int32_t taken = 0;
    for (std::size_t dozen = 0; dozen < stakes.size(); ++dozen) {
        const std::int16_t count = ask_number(kPrompts[dozen]);
        // A negative count is no bet, and a refused one ends it: either way everything
        // taken so far goes back.
        if (count < 0 || take_stake(count * state_.chipprice) == Stake::Refused) {
            add_money(taken);
            return;
        }
        stakes[dozen] = count * state_.chipprice;
        taken += stakes[dozen];
    }
    if (taken == 0) return;

    play_cue("sound\\nomore.wav");
    add_money(rules::dozen_payout(state_.number, stakes));
    announce_number();
}

}  // namespace casino
