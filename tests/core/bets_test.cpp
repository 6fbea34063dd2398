// The bet buttons, each wired to its own bet: what each placed bet pays is the rules'
// business (rules_test), what the player sees of the bets the goldens'.
#include <gtest/gtest.h>

#include "core/rules/roulette.h"
#include "support/scenario.h"

namespace casino::testing {
namespace {

// Each button places its own bet: it wins, and pays, exactly where the rule for that bet
// does, on every number of the wheel.
TEST(Bets, EachEvenMoneyButtonPlacesItsOwnBet) {
    constexpr int kPriceRoll = 0;  // no fortune row tests it at this money
    const int price = *rules::chip_price(kPriceRoll);
    const std::pair<Control, rules::EvenMoney> buttons[] = {
        {Control::cmdred, rules::EvenMoney::red},
        {Control::cmdbleck, rules::EvenMoney::black},
        {Control::Command1, rules::EvenMoney::odd},
        {Control::Command2, rules::EvenMoney::even},
    };
    Game game;
    game.entered();
    for (const auto& [button, bet] : buttons) {
        for (int n = 0; n <= 36; ++n) {
            game.set_money(1000);
            const Lines seen = game.bet(button, {n, 6, kPriceRoll, 75}, {"1"});
            EXPECT_EQ(game.money(), 1000 - price + rules::even_money_payout(bet, n, price))
                << name_of(button) << " on " << n;
            EXPECT_EQ(seen.back(),
                      n == 0 ? "message зеро господа!"
                             : "message " + std::to_string(n) + std::string(rules::colour_word(n)));
        }
    }
}

}  // namespace
}  // namespace casino::testing
