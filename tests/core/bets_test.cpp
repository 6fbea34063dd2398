// Bets as the player lives them: a spin, the answers typed, what is shown, and the money.
#include <gtest/gtest.h>

#include "support/scenario.h"

namespace casino::testing {
namespace {

// Rolls that fire no fortune event at the money these tests play with.
constexpr Spin at(int number, int priceroll = 5) { return {number, 6, priceroll, 75}; }
constexpr int kPrice20 = 0, kPrice40 = 5, kPrice60 = 9;
// Above 3000 bucks a price roll above 14 buys everybody champagne; 14 is the dearest quiet one.
constexpr int kRichPrice80 = 14;

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
    EXPECT_EQ(game.money(), 1080);
    EXPECT_EQ(game.table().color, " красное");
}

TEST_F(Bets, EvenMoneyLossTakesTheStake) {
    const Lines seen = game.bet(Control::cmdred, at(25), {"2"});
    EXPECT_EQ(seen.back(), "message 25 черное");
    EXPECT_EQ(game.money(), 920);
}

TEST_F(Bets, EvenMoneyZeroReturnsHalfAndKeepsTheColour) {
    game.bet(Control::cmdbleck, at(30), {"1"});
    const int before = game.money();
    const Lines seen = game.bet(Control::cmdred, at(0, kPrice20), {"3"});
    EXPECT_EQ(seen, (Lines{"message фишка стоит20", "ask сколько фишек ставишь?",
                           "cue sound\\nomore.wav", "message зеро господа!"}));
    EXPECT_EQ(game.money(), before - 30);
    EXPECT_EQ(game.table().color, " черное");
}

TEST_F(Bets, EachEvenMoneyButtonWinsOnItsOwnEighteenNumbers) {
    struct Member {
        Control button;
        bool (*wins)(int);
    };
    const Member members[] = {
        {Control::cmdred, [](int n) { return n <= 18; }},
        {Control::cmdbleck, [](int n) { return n >= 19; }},
        {Control::Command1, [](int n) { return n % 2 == 1; }},
        {Control::Command2, [](int n) { return n % 2 == 0; }},
    };
    for (const Member& m : members) {
        int wins = 0;
        for (int n = 1; n <= 36; ++n) {
            game.set_money(1000);
            const Lines seen = game.bet(m.button, at(n, kPrice20), {"1"});
            const bool won = game.money() == 1020;
            EXPECT_EQ(won, m.wins(n)) << name_of(m.button) << " on " << n;
            EXPECT_EQ(game.money(), won ? 1020 : 980);
            EXPECT_EQ(seen.back(),
                      "message " + std::to_string(n) + (n <= 18 ? " красное" : " черное"));
            wins += won ? 1 : 0;
        }
        EXPECT_EQ(wins, 18) << name_of(m.button);
    }
}

TEST_F(Bets, AStakeUpToTheLastBuckIsTakenAndOneBuckMoreIsRefused) {
    game.set_money(80);
    game.bet(Control::cmdred, at(25), {"2"});
    EXPECT_EQ(game.money(), 0);

    game.set_money(79);
    const Lines seen = game.bet(Control::cmdred, at(7), {"2"});
    EXPECT_EQ(seen, (Lines{"message фишка стоит40", "ask сколько фишек ставишь?",
                           "message у тебя нет столько денег!"}));
    EXPECT_EQ(game.money(), 79);

    game.set_money(20);
    game.bet(Control::Command1, at(7, kPrice40), {"1"});
    EXPECT_EQ(game.money(), 20);
}

TEST_F(Bets, TypedCountsAreRoundedHalvesToEven) {
    game.bet(Control::cmdbleck, at(1, kPrice20), {"2.5"});
    EXPECT_EQ(game.money(), 960);
    game.bet(Control::cmdbleck, at(1, kPrice20), {"3.5"});
    EXPECT_EQ(game.money(), 880);
    const Lines seen = game.bet(Control::cmdbleck, at(1, kPrice20), {"0.4"});
    EXPECT_EQ(seen.size(), 2U);  // price and question only
    EXPECT_EQ(game.money(), 880);
}

TEST_F(Bets, NoCountOrANegativeCountEndsTheBetSilently) {
    for (const std::string answer : {"", "0", "abc", "-3", "-99999", " - 1"}) {
        for (const Control button :
             {Control::cmdred, Control::cmdbleck, Control::Command1, Control::Command2}) {
            const Lines seen = game.bet(button, at(0), {answer});
            EXPECT_EQ(seen.size(), 2U) << "[" << answer << "] on " << name_of(button);
            EXPECT_EQ(game.money(), 1000) << "[" << answer << "] on " << name_of(button);
        }
    }
}

TEST_F(Bets, AHugeCountIsRefusedLikeAnyStakeAboveTheMoney) {
    game.set_money(32767);
    const Lines seen = game.bet(Control::cmdred, at(7, kRichPrice80), {"99999999"});
    EXPECT_EQ(seen.back(), "message у тебя нет столько денег!");
    EXPECT_EQ(game.money(), 32767);
}

TEST_F(Bets, AWinBeyondTheHouseLimitPaysUpToIt) {
    game.set_money(32000);
    game.bet(Control::cmdred, at(7, kRichPrice80), {"10"});
    EXPECT_EQ(game.money(), 32767);
}

// ---- The dozen bet ----

constexpr const char* kFirst = "ask сколько фишек ставишь на первую дюжину?";
constexpr const char* kSecond = "ask сколько фишек ставишь на вторую дюжину?";
constexpr const char* kThird = "ask сколько фишек ставишь на третью дюжину?";

TEST_F(Bets, DozenPaysThreeTimesTheStakeOnTheDrawnDozen) {
    const Lines seen = game.bet(Control::cmddu, at(12, kPrice20), {"5", "", ""});
    EXPECT_EQ(seen, (Lines{"message фишка стоит20", kFirst, kSecond, kThird,
                           "cue sound\\nomore.wav", "message 12 красное"}));
    EXPECT_EQ(game.money(), 1200);

    game.set_money(1000);
    game.bet(Control::cmddu, at(20), {"2", "2", "2"});
    EXPECT_EQ(game.money(), 1000);

    game.bet(Control::cmddu, at(13), {"0", "1", "0"});
    EXPECT_EQ(game.money(), 1080);
    // One chip on the first and one on the third dozen: 36 pays the third one only.
    EXPECT_EQ(game.bet(Control::cmddu, at(36), {"1", "0", "1"}),
              (Lines{"message фишка стоит40", kFirst, kSecond, kThird, "cue sound\\nomore.wav",
                     "message 36 черное"}));
    EXPECT_EQ(game.money(), 1120);
    EXPECT_EQ(game.table().color, " черное");
}

TEST_F(Bets, DozenOnZeroReturnsHalfOfEveryStake) {
    const Lines seen = game.bet(Control::cmddu, at(0), {"2", "2", "2"});
    EXPECT_EQ(seen.back(), "message зеро господа!");
    EXPECT_EQ(game.money(), 880);
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

TEST_F(Bets, DozenWithNoChipsOrANegativeCountEndsSilently) {
    Lines seen = game.bet(Control::cmddu, at(5), {"", "0", "abc"});
    EXPECT_EQ(seen, (Lines{"message фишка стоит40", kFirst, kSecond, kThird}));
    EXPECT_EQ(game.money(), 1000);

    seen = game.bet(Control::cmddu, at(5), {"3", "-2"});
    EXPECT_EQ(seen, (Lines{"message фишка стоит40", kFirst, kSecond}));
    EXPECT_EQ(game.money(), 1000);

    seen = game.bet(Control::cmddu, at(5), {"-1"});
    EXPECT_EQ(seen, (Lines{"message фишка стоит40", kFirst}));
    seen = game.bet(Control::cmddu, at(5), {"1", "1", "-32768"});
    EXPECT_EQ(seen.size(), 4U);
    EXPECT_EQ(game.money(), 1000);
}

TEST_F(Bets, DozenWinBeyondTheHouseLimitPaysUpToIt) {
    game.set_money(30000);
    game.bet(Control::cmddu, at(30, kRichPrice80), {"0", "0", "20"});
    EXPECT_EQ(game.money(), 32767);
}

// ---- The numbers bet ----

constexpr const char* kHowMany = "ask на сколько чисел ставишь?";
constexpr const char* kNumber = "ask число";

TEST_F(Bets, NumbersPayThirtySixChipsOnTheDrawnNumber) {
    const Lines seen = game.bet(Control::cmdnum, at(17, kPrice20), {"1", "17"});
    EXPECT_EQ(seen, (Lines{"message фишка стоит20", kHowMany, kNumber, "cue sound\\nomore.wav",
                           "message 17 красное"}));
    EXPECT_EQ(game.money(), 1700);
}

TEST_F(Bets, NumbersLoseTheStakeWhenNoneIsDrawn) {
    const Lines seen = game.bet(Control::cmdnum, at(22), {"3", "1", "2", "3"});
    EXPECT_EQ(seen, (Lines{"message фишка стоит40", kHowMany, kNumber, kNumber, kNumber,
                           "cue sound\\nomore.wav", "message 22 черное"}));
    EXPECT_EQ(game.money(), 880);
}

TEST_F(Bets, NumbersOnZeroReturnHalfUnlessZeroWasNamed) {
    game.bet(Control::cmdnum, at(0), {"3", "1", "2", "3"});
    EXPECT_EQ(game.money(), 940);

    game.set_money(1000);
    // An empty box names 0, which is a fair pick.
    const Lines seen = game.bet(Control::cmdnum, at(0, kPrice20), {"2", "5", ""});
    EXPECT_EQ(seen.back(), "message зеро господа!");
    EXPECT_EQ(game.money(), 1000 - 40 + 720);
}

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
    for (int i = 0; i < 37; ++i) game.port.type("36");
    game.port.take_transcript();
    game.click(Control::cmdnum);
    const Lines seen = game.port.take_transcript();
    EXPECT_EQ(std::count(seen.begin(), seen.end(), std::string(kNumber)), 36);
    EXPECT_EQ(game.money(), 36 * 720);
}

TEST_F(Bets, NumbersStakeAboveTheMoneyIsRefusedBeforeAnyNumberIsAsked) {
    game.set_money(119);
    const Lines seen = game.bet(Control::cmdnum, at(5), {"3", "5"});
    EXPECT_EQ(seen,
              (Lines{"message фишка стоит40", kHowMany, "message у тебя нет столько денег!"}));
    EXPECT_EQ(game.money(), 119);
}

TEST_F(Bets, NumbersOffTheWheelCallTheWholeBetOff) {
    const Lines seen = game.bet(Control::cmdnum, at(5), {"3", "5", "37", "8"});
    EXPECT_EQ(seen, (Lines{"message фишка стоит40", kHowMany, kNumber, kNumber}));
    EXPECT_EQ(game.money(), 1000);
    game.port.take_transcript();
    game.bet(Control::cmdnum, at(5), {"2", "-1"});
    EXPECT_EQ(game.money(), 1000);
}

TEST_F(Bets, NumbersNamedTwicePayForEachChip) {
    game.bet(Control::cmdnum, at(9, kPrice20), {"3", "9", "9", "9"});
    EXPECT_EQ(game.money(), 1000 - 60 + 3 * 720);
    game.set_money(1000);
    game.bet(Control::cmdnum, at(0, kPrice20), {"2", "0", "0"});
    EXPECT_EQ(game.money(), 1000 - 40 + 2 * 720);
}

TEST_F(Bets, NumbersWinBeyondTheHouseLimitPaysUpToIt) {
    game.set_money(32000);
    game.bet(Control::cmdnum, at(9, kRichPrice80), {"1", "9"});
    EXPECT_EQ(game.money(), 32767);
}

}  // namespace
}  // namespace casino::testing
