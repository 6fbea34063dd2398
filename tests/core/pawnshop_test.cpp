// The pawnshop where a script cannot go: keys beyond the script's range and a list that
// has lost its highlight. What a pawn pays and a ticket says is the rules' business
// (rules_test) and the goldens'; long random visits are the random games' (invariants_test).
#include <gtest/gtest.h>

#include "core/rules/pawnshop.h"
#include "core/rules/table.h"
#include "support/scenario.h"

namespace casino::testing {
namespace {

std::string ticket_at(Item item, float draw) {
    return rules::pawn_ticket(item, rules::redeem_price(item, rules::pawn_price(draw)));
}

class Pawnshop : public ::testing::Test {
   protected:
    Pawnshop() { game.in_pawnshop(); }
    Game game;
};

// The price is drawn afresh on every key in the wardrobe, and only Enter, read at the
// code's full width, pawns.
TEST_F(Pawnshop, EveryKeyDrawsThePriceAndOnlyEnterPawns) {
    game.click(Control::cmdpay);
    game.port.take_transcript();
    game.draw({0.9F});
    game.key(Control::List1, 'a');
    game.draw({0.9F});
    game.deliver(Event::key_press(Control::List1, 0x10000 + kEnterKey, 0, Control::List1));
    EXPECT_TRUE(game.port.take_transcript().empty());
    game.highlight(Control::List1, 3);
    game.draw({0.995F});
    game.key(Control::List1, kEnterKey);
    EXPECT_EQ(game.port.take_transcript(),
              (Lines{"message " + rules::pawn_message(Item::shoes, rules::pawn_price(0.995F))}));
    EXPECT_EQ(game.entries(Control::List2), (Lines{ticket_at(Item::shoes, 0.995F)}));

    game.click(Control::cmdre);
    game.port.take_transcript();
    game.key(Control::List2, ' ');
    game.deliver(Event::key_press(Control::List2, 0x10000 + kEnterKey, 0, Control::List2));
    EXPECT_TRUE(game.port.transcript().empty());
    EXPECT_TRUE(game.port.visible(Control::List2));
}

// Some platforms let a list lose its highlight; Enter then moves nothing and closes it.
TEST_F(Pawnshop, EnterWithNothingHighlightedMovesNothing) {
    game.click(Control::cmdpay);
    game.highlight(Control::List1, -1);
    game.key(Control::List1, kEnterKey);
    EXPECT_EQ(game.entries(Control::List1), wardrobe_texts());
    EXPECT_EQ(game.money(), rules::kStartingMoney);
    EXPECT_FALSE(game.port.visible(Control::List1));

    game.pawn(0, 0.5F);
    game.click(Control::cmdre);
    game.highlight(Control::List2, -1);
    game.set_money(1000);
    game.key(Control::List2, kEnterKey);
    EXPECT_EQ(game.entries(Control::List2), (Lines{ticket_at(Item::watch, 0.5F)}));
    EXPECT_EQ(game.money(), 1000);
    EXPECT_FALSE(game.port.visible(Control::List2));
}

}  // namespace
}  // namespace casino::testing
