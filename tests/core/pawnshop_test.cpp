// Pawning and redeeming clothes, and what the fortune events make of it.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "core/rules/fortune.h"
#include "support/scenario.h"

namespace casino::testing {
namespace {

const Lines kWardrobe = wardrobe_texts();

class Pawnshop : public ::testing::Test {
   protected:
    Pawnshop() { game.in_pawnshop(); }
    [[nodiscard]] int clothes() const { return game.table().pawnedclothes; }
    [[nodiscard]] int trousers() const { return game.table().pawnedtrousers; }
    Game game;
};

TEST_F(Pawnshop, TheWatchPaysButLeavesTheCountersAlone) {
    const Lines seen = game.pawn(0, 0.27F);
    EXPECT_EQ(seen, (Lines{"focus List1", "message ты заложил часы за 127 баксов."}));
    EXPECT_EQ(game.money(), 187);
    EXPECT_EQ(clothes(), 0);
    EXPECT_EQ(trousers(), 0);
    EXPECT_EQ(game.entries(Control::List1), (Lines{"пиджак ", "брюки ", "ботинки "}));
    EXPECT_EQ(game.entries(Control::List2), (Lines{"часы 327"}));
    EXPECT_EQ(game.table().pawnticket[index_of(Item::watch)], "часы 327");
    EXPECT_FALSE(game.port.visible(Control::List1));
}

TEST_F(Pawnshop, TheTrousersRaiseBothCountersAndCostFiftyMoreToRedeem) {
    const Lines seen = game.pawn(2, 0.27F);
    EXPECT_EQ(seen.back(), "message ты заложил брюки за 127 баксов.");
    EXPECT_EQ(game.entries(Control::List2), (Lines{"брюки 377"}));
    EXPECT_EQ(clothes(), 1);
    EXPECT_EQ(trousers(), 1);
    EXPECT_EQ(game.table().redeemprice[index_of(Item::trousers)], 377);

    game.pawn(1, 0.0F);  // the jacket, second after the watch
    EXPECT_EQ(game.entries(Control::List2), (Lines{"брюки 377", "пиджак 300"}));
    EXPECT_EQ(clothes(), 2);
    EXPECT_EQ(trousers(), 1);
}

TEST_F(Pawnshop, PawnPriceIsDrawnOnEveryKeyAndOnlyEnterPawns) {
    game.click(Control::cmdpay);
    game.port.take_transcript();
    game.draw({0.9F});  // spent by the arrow-like key below
    game.key(Control::List1, 'a');
    // A code is read whole: one whose low 16 bits are 13 is no Enter.
    game.draw({0.9F});
    game.deliver(Event::key_press(Control::List1, 0x10000 + kEnterKey, 0, Control::List1));
    game.highlight(Control::List1, 3);
    game.draw({0.995F});
    game.key(Control::List1, kEnterKey);
    EXPECT_EQ(game.port.take_transcript(), (Lines{"message ты заложил ботинки за 200 баксов."}));
    EXPECT_EQ(game.entries(Control::List2), (Lines{"ботинки 400"}));
}

TEST_F(Pawnshop, PawnPricesStayWithinOneToTwoHundred) {
    int lowest = 1000;
    int highest = 0;
    for (int i = 0; i < 4000; ++i) {
        game.menu(MenuItem::start_over);
        game.line("clock " + std::to_string(30000.0 + i * 0.25));
        game.click(Control::cmdpay);
        game.key(Control::List1, kEnterKey);
        const int price = game.money() - 60;
        lowest = std::min(lowest, price);
        highest = std::max(highest, price);
        ASSERT_EQ(game.table().redeemprice[0],
                  rules::redeem_price(Item::watch, static_cast<std::int16_t>(price)));
    }
    EXPECT_EQ(lowest, 100);
    EXPECT_EQ(highest, 200);
}

TEST_F(Pawnshop, RedeemingAtExactlyThePriceLeavesNothing) {
    game.pawn(0, 0.5F);  // watch: 150, back for 350
    game.set_money(350);
    const Lines seen = game.redeem(0);
    EXPECT_EQ(seen, (Lines{"focus List2", "message заходи еще."}));
    EXPECT_EQ(game.money(), 0);
    EXPECT_TRUE(game.entries(Control::List2).empty());
    // Bought back, the watch goes to the end of the wardrobe.
    EXPECT_EQ(game.entries(Control::List1), (Lines{"пиджак ", "брюки ", "ботинки ", "часы "}));
    EXPECT_FALSE(game.port.visible(Control::List2));
    // The ticket stays in the state until the watch is pawned again.
    EXPECT_EQ(game.table().pawnticket[0], "часы 350");
}

TEST_F(Pawnshop, KeysOtherThanEnterInThePawnedListDoNothing) {
    game.pawn(0, 0.5F);
    game.click(Control::cmdre);
    game.port.take_transcript();
    game.key(Control::List2, ' ');
    game.key(Control::List2, 'x');
    game.deliver(Event::key_press(Control::List2, 0x10000 + kEnterKey, 0, Control::List2));
    EXPECT_TRUE(game.port.transcript().empty());
    EXPECT_TRUE(game.port.visible(Control::List2));
}

TEST_F(Pawnshop, EnterWithNothingHighlightedMovesNothing) {
    game.click(Control::cmdpay);
    game.highlight(Control::List1, -1);
    game.key(Control::List1, kEnterKey);
    EXPECT_EQ(game.entries(Control::List1), kWardrobe);
    EXPECT_EQ(game.money(), 60);
    EXPECT_FALSE(game.port.visible(Control::List1));

    game.pawn(0, 0.5F);
    game.click(Control::cmdre);
    game.highlight(Control::List2, -1);
    game.set_money(1000);
    game.key(Control::List2, kEnterKey);
    EXPECT_EQ(game.entries(Control::List2), (Lines{"часы 350"}));
    EXPECT_EQ(game.money(), 1000);
}

TEST_F(Pawnshop, RepawningABoughtBackItemWritesAFreshTicket) {
    game.pawn(0, 0.5F);
    game.set_money(1000);
    game.redeem(0);
    game.click(Control::cmdpay);
    game.highlight(Control::List1, 3);  // the watch, now last
    game.draw({0.0F});
    game.key(Control::List1, kEnterKey);
    EXPECT_EQ(game.entries(Control::List2), (Lines{"часы 300"}));
    EXPECT_EQ(game.table().redeemprice[0], 300);
}

// Thousands of random visits: after every step each item is in exactly one list and the
// counters say what the pawned list holds.
TEST(PawnshopSequences, ItemsAndCountersStayConsistent) {
    for (unsigned seed = 1; seed <= 20; ++seed) {
        std::mt19937 rng(seed);
        Game game;
        game.in_pawnshop();
        for (int step = 0; step < 400; ++step) {
            game.line("clock " + std::to_string(rng() % 8640000 / 100.0));
            switch (rng() % 9) {
                case 0:
                case 1: game.click(Control::cmdpay); break;
                case 2:
                case 3: game.click(Control::cmdre); break;
                case 4:
                case 5: {
                    const Control list = rng() % 2 ? Control::List1 : Control::List2;
                    const auto n = static_cast<int>(game.port.list(list).entries.size());
                    if (n > 0) game.highlight(list, static_cast<int>(rng() % n));
                    game.key(list, rng() % 3 ? kEnterKey : 'q');
                    break;
                }
                case 6: game.set_money(static_cast<int>(rng() % 1200)); break;
                case 7: game.menu(MenuItem::start_over); break;
                default:
                    game.click(Control::cmdwent);
                    game.click(Control::cmdlom);
                    break;
            }
            const TableState& s = game.table();
            int clothes = 0;
            int trousers = 0;
            std::vector<std::string> items = game.entries(Control::List1);
            for (const auto& line : game.entries(Control::List2)) {
                const auto k = static_cast<std::size_t>(
                    std::find(s.pawnticket.begin(), s.pawnticket.end(), line) -
                    s.pawnticket.begin());
                ASSERT_LT(k, s.pawnticket.size()) << "unknown ticket " << line;
                items.push_back(s.items[k]);
                clothes += k == 0 ? 0 : 1;
                trousers += k == 2 ? 1 : 0;
            }
            std::sort(items.begin(), items.end());
            Lines all = kWardrobe;
            std::sort(all.begin(), all.end());
            ASSERT_EQ(items, all) << "seed " << seed << " step " << step;
            ASSERT_EQ(s.pawnedclothes, clothes);
            ASSERT_EQ(s.pawnedtrousers, trousers);
            ASSERT_GE(s.money, 0);
            ASSERT_FALSE(game.port.visible(Control::List1) && game.port.visible(Control::List2));
        }
    }
}

}  // namespace
}  // namespace casino::testing
