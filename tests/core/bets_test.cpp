// Bets as the player lives them: a spin, the answers typed, what is shown, and the money.
#include <gtest/gtest.h>

#include <array>

#include "core/rules/roulette.h"
#include "support/scenario.h"

namespace casino::testing {
namespace {

// Rolls that fire no fortune event at the money these tests play with; the price roll 5
// prices a chip at 40. What a bet pays is the rules' business: these tests ask them.
constexpr Spin at(int number, int priceroll = 5) { return {number, 6, priceroll, 75}; }
constexpr int kPrice20 = 0, kPrice60 = 9;
const int kPrice = *rules::chip_price(5);

class Bets : public ::testing::Test {
   protected:
    Bets() {
        game.entered();
        game.set_money(1000);
    }
    Game game;
};

// ---- The chip price and the purse ----

TEST_F(Bets, TooLittleMoneyEndsTheBetAfterTheSpinWithoutAPrice) {
    game.bet(Control::cmdred, at(7, kPrice60), {});
    game.set_money(19);
    const Lines seen = game.bet(Control::cmdnum,
                                {.number = 30, .eventroll = 2, .priceroll = 3, .fine = 88}, {"1"});
    EXPECT_EQ(seen, (Lines{"message тебе не на что играть."}));
    const TableState& s = game.table();
    EXPECT_EQ(s.chipprice, 60);
    EXPECT_EQ(s.number, 30);
    EXPECT_EQ(s.eventroll, 2);
    EXPECT_EQ(s.priceroll, 3);
    EXPECT_EQ(s.fine, 88);
    EXPECT_EQ(game.port.unanswered(), 1U);
}

// ---- Red, black, odd, even ----

TEST_F(Bets, EvenMoneyWinPaysTheStakeAndAnnouncesNumberAndColour) {
    const Lines seen = game.bet(Control::cmdred, at(7), {"2"});
    EXPECT_EQ(seen, (Lines{"message фишка стоит40", "ask сколько фишек ставишь?",
                           "cue sound\\nomore.wav", "message 7 красное"}));
    EXPECT_EQ(game.money(), 1000 - 2 * kPrice + rules::even_money_payout(rules::EvenMoney::red, 7,
                                                                          2 * kPrice));
    EXPECT_EQ(game.table().color, " красное");
}

TEST_F(Bets, EvenMoneyZeroReturnsHalfAndKeepsTheColour) {
    game.bet(Control::cmdbleck, at(30), {"1"});
    const int before = game.money();
    const Lines seen = game.bet(Control::cmdred, at(0, kPrice20), {"3"});
    EXPECT_EQ(seen, (Lines{"message фишка стоит20", "ask сколько фишек ставишь?",
                           "cue sound\\nomore.wav", "message зеро господа!"}));
    EXPECT_EQ(game.money(), before - 60 + rules::even_money_payout(rules::EvenMoney::red, 0, 60));
    EXPECT_EQ(game.table().color, " черное");
}

// Each button places its own bet: it wins, and pays, exactly where the rule for that bet does.
TEST_F(Bets, EachEvenMoneyButtonPlacesItsOwnBet) {
    const std::pair<Control, rules::EvenMoney> buttons[] = {
        {Control::cmdred, rules::EvenMoney::red},
        {Control::cmdbleck, rules::EvenMoney::black},
        {Control::Command1, rules::EvenMoney::odd},
        {Control::Command2, rules::EvenMoney::even},
    };
    for (const auto& [button, bet] : buttons) {
        for (int n = 0; n <= 36; ++n) {
            game.set_money(1000);
            const Lines seen = game.bet(button, at(n, kPrice20), {"1"});
            EXPECT_EQ(game.money(), 1000 - 20 + rules::even_money_payout(bet, n, 20))
                << name_of(button) << " on " << n;
            EXPECT_EQ(seen.back(),
                      n == 0 ? "message зеро господа!"
                             : "message " + std::to_string(n) + std::string(rules::colour_word(n)));
        }
    }
}

// ---- The dozen bet ----

constexpr const char* kFirst = "ask сколько фишек ставишь на первую дюжину?";
constexpr const char* kSecond = "ask сколько фишек ставишь на вторую дюжину?";
constexpr const char* kThird = "ask сколько фишек ставишь на третью дюжину?";

// The stakes of the three dozens go in order, an empty answer stakes none, and what comes
// back is the rule's.
TEST_F(Bets, DozenTakesEachStakeAndPaysWhatTheRuleSays) {
    const Lines seen = game.bet(Control::cmddu, at(12, kPrice20), {"5", "", ""});
    EXPECT_EQ(seen, (Lines{"message фишка стоит20", kFirst, kSecond, kThird,
                           "cue sound\\nomore.wav", "message 12 красное"}));
    EXPECT_EQ(game.money(), 1000 - 100 + rules::dozen_payout(12, {100, 0, 0}));

    struct Case {
        int number;
        std::array<int, 3> chips;
    };
    for (const Case& c : {Case{20, {2, 2, 2}}, Case{13, {0, 1, 0}}, Case{36, {1, 0, 1}}}) {
        const std::array<std::int32_t, 3> stakes{c.chips[0] * kPrice, c.chips[1] * kPrice,
                                                 c.chips[2] * kPrice};
        game.set_money(1000);
        game.bet(Control::cmddu, at(c.number),
                 {std::to_string(c.chips[0]), std::to_string(c.chips[1]),
                  std::to_string(c.chips[2])});
        EXPECT_EQ(game.money(), 1000 - stakes[0] - stakes[1] - stakes[2] +
                                    rules::dozen_payout(c.number, stakes))
            << c.number;
    }
    EXPECT_EQ(game.table().color, " черное");
}

TEST_F(Bets, DozenRefusalGivesBackEveryStakeOfTheBet) {
    game.set_money(100);
    const Lines seen = game.bet(Control::cmddu, at(5), {"2", "1", "9"});
    EXPECT_EQ(seen, (Lines{"message фишка стоит40", kFirst, kSecond,
                           "message у тебя нет столько денег!"}));
    EXPECT_EQ(game.money(), 100);
    EXPECT_EQ(game.port.unanswered(), 1U);

    game.set_money(120);
    game.bet(Control::cmddu, at(5), {"1", "1", "2"});
    EXPECT_EQ(game.money(), 120);
}

// ---- The numbers bet ----

constexpr const char* kHowMany = "ask на сколько чисел ставишь?";
constexpr const char* kNumber = "ask число";

TEST_F(Bets, NumbersCountMustBeOneToThirtySix) {
    for (const std::string answer : {"", "0", "37", "-1", "99999"}) {
        const Lines seen = game.bet(Control::cmdnum, at(5), {answer});
        EXPECT_EQ(seen, (Lines{"message фишка стоит40", kHowMany})) << answer;
    }
    EXPECT_EQ(game.money(), 1000);

    // 36 chips on 36 at 20, with exactly the money for them.
    game.set_money(720);
    game.port.forget_answers();
    game.next_spin(at(36, kPrice20));
    game.type({"36"});
    const std::vector<std::int16_t> picks(36, 36);
    for (const auto pick : picks) game.type({std::to_string(pick)});
    game.port.take_transcript();
    game.click(Control::cmdnum);
    const Lines seen = game.port.take_transcript();
    EXPECT_EQ(std::count(seen.begin(), seen.end(), std::string(kNumber)), 36);
    EXPECT_EQ(game.money(), rules::numbers_payout(36, picks, 20));
}

TEST_F(Bets, NumbersOffTheWheelCallTheWholeBetOff) {
    const Lines seen = game.bet(Control::cmdnum, at(5), {"3", "5", "37", "8"});
    EXPECT_EQ(seen, (Lines{"message фишка стоит40", kHowMany, kNumber, kNumber}));
    EXPECT_EQ(game.money(), 1000);
    game.port.take_transcript();
    game.bet(Control::cmdnum, at(5), {"2", "-1"});
    EXPECT_EQ(game.money(), 1000);
}

}  // namespace
}  // namespace casino::testing
