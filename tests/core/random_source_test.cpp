// The random source and the spin's draws.
#include "core/random_source.h"

#include <gtest/gtest.h>

#include <array>
#include <set>

#include "support/queued_draws.h"
#include "support/scenario.h"

namespace casino {
namespace {

TEST(RandomSource, TheSameSeedGivesTheSameValuesAndOthersDiffer) {
    RandomSource a;
    RandomSource b;
    a.reseed(43200.25F);
    b.reseed(43200.25F);
    std::set<float> seen;
    for (int i = 0; i < 1000; ++i) {
        const float r = a.next();
        ASSERT_EQ(r, b.next());
        ASSERT_GE(r, 0.0F);
        ASSERT_LT(r, 1.0F);
        seen.insert(r);
    }
    EXPECT_GT(seen.size(), 990U);

    b.reseed(43200.5F);
    a.reseed(43200.25F);
    int equal = 0;
    for (int i = 0; i < 100; ++i) equal += a.next() == b.next() ? 1 : 0;
    EXPECT_LT(equal, 3);
}

// The replay tool's draw lines rest on this.
TEST(QueuedDraws, QueuedValuesComeFirstAndSurviveAReseed) {
    testing::QueuedDraws source;
    source.queue(0.25F);
    source.queue(0.75F);
    source.reseed(10.0F);
    EXPECT_EQ(source.next(), 0.25F);
    source.reseed(11.0F);
    EXPECT_EQ(source.next(), 0.75F);
    EXPECT_TRUE(source.empty());

    // Out-of-range values are pulled back into [0, 1) so no draw leaves its range.
    source.queue(1.0F);
    source.queue(-0.5F);
    EXPECT_LT(source.next(), 1.0F);
    EXPECT_EQ(source.next(), 0.0F);
}

// Many spins through the real bet button, each at its own time of day.
TEST(Spin, EveryNumberComesUpAndEveryRollStaysInItsRange) {
    testing::Game game;
    game.entered();
    std::array<int, 37> counts{};
    constexpr int kSpins = 37 * 400;
    for (int i = 0; i < kSpins; ++i) {
        game.line("clock " + std::to_string(3600.0 + i * 0.0625));
        game.set_money(60);
        game.click(Control::cmdred);  // no answer typed: the bet ends after the price
        const TableState& s = game.table();
        ASSERT_GE(s.number, 0);
        ASSERT_LE(s.number, 36);
        ASSERT_GE(s.eventroll, 0);
        ASSERT_LE(s.eventroll, 15);
        ASSERT_GE(s.priceroll, 0);
        ASSERT_LE(s.priceroll, 17);
        ASSERT_GE(s.fine, 50);
        ASSERT_LE(s.fine, 99);
        ++counts[static_cast<std::size_t>(s.number)];
    }
    for (int n = 0; n <= 36; ++n) {
        EXPECT_GT(counts[static_cast<std::size_t>(n)], 400 / 2) << "number " << n;
        EXPECT_LT(counts[static_cast<std::size_t>(n)], 400 * 3 / 2) << "number " << n;
    }
}

TEST(Spin, IsReseededFromTheClockOnEveryBet) {
    testing::Game game;
    game.entered();
    game.line("clock " + std::to_string(5000.5));
    game.click(Control::cmdred);
    const TableState first = game.table();
    game.line("clock " + std::to_string(7000.25));
    game.click(Control::cmdred);
    game.line("clock " + std::to_string(5000.5));
    game.click(Control::cmdred);
    const TableState& again = game.table();
    EXPECT_EQ(again.number, first.number);
    EXPECT_EQ(again.eventroll, first.eventroll);
    EXPECT_EQ(again.priceroll, first.priceroll);
    EXPECT_EQ(again.fine, first.fine);
}

}  // namespace
}  // namespace casino
