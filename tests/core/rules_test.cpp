// The rules as pure functions: the spin's draws, prices, payouts, fortune rows, pawnshop.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "core/rules/arithmetic.h"
#include "core/rules/fortune.h"
#include "core/rules/pawnshop.h"
#include "core/rules/roulette.h"

namespace casino::rules {
namespace {

constexpr float kJustBelowOne = 0x1.fffffep-1F;

TEST(ArithmeticRules, MoneySaturatesInsteadOfWrappingAndStakesAreTestedWide) {
    EXPECT_EQ(add_money(32267, 500), 32767);
    EXPECT_EQ(add_money(32767, 9'830'100), 32767);  // the largest dozen payout
    EXPECT_EQ(add_money(100, -100), 0);
    EXPECT_TRUE(can_pay(400, 400));
    EXPECT_FALSE(can_pay(399, 400));
    EXPECT_FALSE(can_pay(32767, 32767 * 100));
    for (const auto& [value, rounded] : std::array<std::pair<double, double>, 8>{{{0.5, 0},
                                                                                  {1.5, 2},
                                                                                  {2.5, 2},
                                                                                  {-0.5, 0},
                                                                                  {-1.5, -2},
                                                                                  {199.5, 200},
                                                                                  {100.49, 100},
                                                                                  {100.51, 101}}}) {
        EXPECT_EQ(round_half_even(value), rounded) << value;
    }
}

TEST(SpinRules, DrawsFloorInDoubleAndNeverReachTheTopOfARange) {
    const SpinResult top = spin({kJustBelowOne, kJustBelowOne, kJustBelowOne, kJustBelowOne});
    EXPECT_EQ(top.number, 36);
    EXPECT_EQ(top.eventroll, 15);
    EXPECT_EQ(top.priceroll, 17);
    EXPECT_EQ(top.fine, 99);
    const SpinResult bottom = spin({0.0F, 0.0F, 0.0F, 0.0F});
    EXPECT_EQ(bottom.number, 0);
    EXPECT_EQ(bottom.fine, 50);
    // The draws are taken in order: number, event roll, price roll, fine.
    const SpinResult mixed = spin({0.5F, 0.25F, 0.5F, 0.5F});
    EXPECT_EQ(mixed.number, 18);
    EXPECT_EQ(mixed.eventroll, 4);
    EXPECT_EQ(mixed.priceroll, 9);
    EXPECT_EQ(mixed.fine, 75);
}

TEST(ChipPriceRules, FollowsTheTableAtEveryBoundary) {
    const std::array<std::pair<int, int>, 11> table{{{0, 20},
                                                     {4, 20},
                                                     {5, 40},
                                                     {8, 40},
                                                     {9, 60},
                                                     {12, 60},
                                                     {13, 80},
                                                     {16, 80},
                                                     {17, 100},
                                                     {18, 100},
                                                     {-1, 0}}};
    for (const auto& [roll, price] : table) {
        EXPECT_EQ(chip_price(roll).value_or(0), price) << "roll " << roll;
    }
    EXPECT_FALSE(chip_price(19).has_value());
}

TEST(ColourRules, GoesByRange) {
    EXPECT_EQ(colour_word(1), " красное");
    EXPECT_EQ(colour_word(18), " красное");
    EXPECT_EQ(colour_word(19), " черное");
    EXPECT_EQ(colour_word(36), " черное");
    EXPECT_EQ(colour_word(0), "");
}

TEST(PayoutRules, EvenMoneyDozenAndNumbers) {
    EXPECT_EQ(even_money_payout(EvenMoney::red, 18, 60), 120);
    EXPECT_EQ(even_money_payout(EvenMoney::red, 19, 60), 0);
    EXPECT_EQ(even_money_payout(EvenMoney::even, 36, 60), 120);
    EXPECT_EQ(even_money_payout(EvenMoney::odd, 19, 60), 120);
    EXPECT_EQ(even_money_payout(EvenMoney::even, 0, 60), 30);  // zero: half back, no win
    EXPECT_EQ(half_stake(100), 50);

    EXPECT_EQ(dozen_payout(12, {40, 80, 120}), 120);
    EXPECT_EQ(dozen_payout(13, {40, 80, 120}), 240);
    EXPECT_EQ(dozen_payout(36, {40, 0, 0}), 0);
    EXPECT_EQ(dozen_payout(0, {40, 80, 120}), 120);

    const std::vector<std::int16_t> picks{17, 22, 17};
    EXPECT_EQ(numbers_payout(17, picks, 20), 2 * 36 * 20);  // named twice, paid twice
    EXPECT_EQ(numbers_payout(5, picks, 20), 0);
    EXPECT_EQ(numbers_payout(0, picks, 20), 30);  // zero not named: half the stake
    const std::vector<std::int16_t> with_zero{0, 5};
    EXPECT_EQ(numbers_payout(0, with_zero, 20), 720);  // zero named: no half stake on top
    EXPECT_TRUE(valid_number_count(36));
    EXPECT_FALSE(valid_number_count(37));
    EXPECT_FALSE(valid_number_count(0));
    EXPECT_TRUE(on_the_wheel(0));
    EXPECT_FALSE(on_the_wheel(37));
    EXPECT_FALSE(on_the_wheel(-1));
}

TEST(PawnshopRules, PricesTicketsAndMessages) {
    EXPECT_EQ(pawn_price(0.0F), 100);
    EXPECT_EQ(pawn_price(kJustBelowOne), 200);
    EXPECT_EQ(pawn_price(0.125F), 112);  // 112.5 goes to the even 112
    EXPECT_EQ(pawn_price(0.375F), 138);  // 137.5 goes to the even 138
    EXPECT_EQ(redeem_price(Item::trousers, 127), 377);
    EXPECT_EQ(redeem_price(Item::watch, 100), 300);
    EXPECT_EQ(pawn_ticket(Item::trousers, 377), "брюки 377");
    EXPECT_EQ(pawn_message(Item::shoes, 200), "ты заложил ботинки за 200 баксов.");
}

}  // namespace
}  // namespace casino::rules
