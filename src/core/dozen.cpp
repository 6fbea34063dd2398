// The dozen bet: chips on any of the three dozens in one spin.
#include <array>

#include "core/form1.h"
#include "core/rules/table.h"

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
        // A negative count calls the bet off, and a stake the player cannot pay ends it:
        // either way everything taken so far goes back.
        if (rules::count_of(count) == rules::Count::CallOff ||
            take_stake(count * state_.chipprice) == Stake::Refused) {
            call_off(taken);
            return;
        }
        stakes[dozen] = count * state_.chipprice;
        taken += stakes[dozen];
    }
    if (!rules::is_bet(taken)) return;

    play_cue(rules::Cue::nomore);
    add_money(rules::dozen_payout(state_.number, stakes));
    announce_number();
}

}  // namespace casino
