// The four even-money bets: red, black, odd and even.
#include "app/form1.h"

namespace casino {

namespace {

// Colour goes by range: 1..18 are red, 19..36 black.
bool is_red(int n) { return n >= 1 && n <= 18; }
bool is_black(int n) { return n >= 19 && n <= 36; }
bool is_odd(int n) { return n % 2 == 1; }
bool is_even(int n) { return n != 0 && n % 2 == 0; }

}  // namespace

void Form1::cmdred_Click() { even_money_bet(is_red); }
void Form1::cmdbleck_Click() { even_money_bet(is_black); }
void Form1::Command1_Click() { even_money_bet(is_odd); }
void Form1::Command2_Click() { even_money_bet(is_even); }

void Form1::even_money_bet(bool (*wins)(int number)) {
    if (open_bet() == BetOutcome::Closed) return;

    const std::int16_t chips = ask_number("сколько фишек ставишь?");
    // No chips, or a negative count, places no bet.
    if (chips <= 0) return;

    const std::int32_t stake = std::int32_t{chips} * state_.chipprice;
    if (take_stake(stake) == Stake::Refused) return;

    play_cue("sound\\nomore.wav");
    if (state_.number == 0) {
        pay_half_back(stake);
        message("зеро господа!");
        return;
    }
    if (wins(state_.number)) add_money(2 * stake);
    announce_number();
}

}  // namespace casino
