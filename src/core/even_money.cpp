// The four even-money bets: red, black, odd and even.
#include "core/form1.h"
#include "core/rules/table.h"

namespace casino {

void Form1::cmdred_Click() { even_money_bet(rules::EvenMoney::red); }
void Form1::cmdbleck_Click() { even_money_bet(rules::EvenMoney::black); }
void Form1::Command1_Click() { even_money_bet(rules::EvenMoney::odd); }
void Form1::Command2_Click() { even_money_bet(rules::EvenMoney::even); }

void Form1::even_money_bet(rules::EvenMoney bet) {
    if (open_bet() == BetOutcome::Closed) return;

    const std::int16_t chips = ask_number("сколько фишек ставишь?");
    // No chips, or a negative count, places no bet.
    if (rules::count_of(chips) != rules::Count::Chips) return;

    const std::int32_t stake = std::int32_t{chips} * state_.chipprice;
    if (take_stake(stake) == Stake::Refused) return;

    play_cue(rules::Cue::nomore);
    add_money(rules::even_money_payout(bet, state_.number, stake));
    announce_number();
}

}  // namespace casino
