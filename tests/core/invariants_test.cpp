// The invariant checker catches what it claims to, and long random games and the fuzz seeds
// keep every invariant.
#include "support/invariants.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "support/scenario.h"
#include "support/scripted_game.h"

namespace casino::testing {
namespace {

using fuzzing::joined;
using fuzzing::Play;

bool mentions(const std::vector<std::string>& violations, std::string_view words) {
    return std::any_of(violations.begin(), violations.end(),
                       [&](const std::string& v) { return v.find(words) != std::string::npos; });
}

std::vector<std::string> check(Game& g) { return check_invariants(g.state(), g.port); }

// A game on the floor that has pawned one wardrobe entry at the given price draw.
Game& pawned(Game& g, int entry, float price_draw) {
    g.in_pawnshop();
    g.pawn(entry, price_draw);
    return g;
}

TEST(Invariants, HoldOnAFreshWindowAndAfterEntering) {
    Game street;
    EXPECT_EQ(joined(check(street)), "");
    Game floor;
    floor.entered();
    EXPECT_EQ(joined(check(floor)), "");

    FakePort port;
    QueuedDraws draws;
    GameState state;
    const Form1 unloaded(port, draws, state);
    EXPECT_TRUE(mentions(check_invariants(unloaded.state(), port), "load step"));
}

TEST(Invariants, CatchAFrontEndThatShowsOtherListsOrControlsThanTheGameHolds) {
    Game both;
    both.port.list_add(Control::List2, "часы 300");
    EXPECT_TRUE(mentions(check(both), "List2 on the screen is not the game's list"));
    EXPECT_TRUE(mentions(check(both), "[часы ] stands 2 times"));

    Game neither;
    neither.port.list_remove(Control::List1, 3);
    EXPECT_TRUE(mentions(check(neither), "[ботинки ] stands 0 times"));

    Game stranger;
    stranger.port.list_add(Control::List1, "шляпа ");
    EXPECT_TRUE(mentions(check(stranger), "[шляпа ], which is no item"));

    Game hidden;  // a front end that missed the call showing a bet button
    hidden.entered();
    hidden.port.set_shown(Control::cmdred, false);
    EXPECT_TRUE(mentions(check(hidden), "cmdred on the screen is not as the game holds it"));
}

TEST(Invariants, CatchMoneyCountersAndTicketsThatDisagree) {
    Game g;
    pawned(g, 2, 0.5F);  // the trousers
    EXPECT_EQ(joined(check(g)), "");
    g.table().pawnedclothes = 0;
    g.table().pawnedtrousers = 0;
    EXPECT_TRUE(mentions(check(g), "pawnedclothes is 0 but the pawned list holds 1"));
    EXPECT_TRUE(mentions(check(g), "pawnedtrousers is 0 but the pawned list holds 1"));

    // A ticket that names another price than the one to pay.
    g.table().pawnedclothes = 1;
    g.table().pawnedtrousers = 1;
    g.table().redeemprice[2] += 1;
    EXPECT_TRUE(mentions(check(g), "does not match redeem price"));

    // The watch counts as no clothes.
    Game watch;
    pawned(watch, 0, 0.5F);
    watch.table().pawnedclothes = 1;
    EXPECT_TRUE(mentions(check(watch), "pawnedclothes is 1 but the pawned list holds 0"));

    watch.table().pawnedclothes = 0;
    watch.table().money = -1;
    EXPECT_EQ(joined(check(watch)), "money is negative: -1\n");
}

TEST(Invariants, CatchANumberOffTheWheelAndACaptionThatDisagreesWithMute) {
    Game g;
    g.entered();
    g.next_spin({.number = 36});
    g.type({"1"});
    g.click(Control::cmdred);
    EXPECT_EQ(joined(check(g)), "");
    g.table().number = 37;
    EXPECT_TRUE(mentions(check(g), "the spin drew number 37"));
    g.table().number = 36;

    g.table().mute = 1;
    EXPECT_TRUE(mentions(check(g), "the sound item reads"));
    g.menu(MenuItem::sound);  // back to 0, and the caption follows
    EXPECT_EQ(joined(check(g)), "");
}

void expect_clean(const Play& play, const std::string& name) {
    EXPECT_TRUE(play.violations.empty()) << name << "\n"
                                         << joined(play.script) << "---- broken ----\n"
                                         << joined(play.violations);
}

Play total(Play sum, const Play& game) {
    sum.events += game.events;
    sum.spins += game.spins;
    sum.pawns += game.pawns;
    sum.redemptions += game.redemptions;
    return sum;
}

TEST(RandomGames, KeepEveryInvariantThroughThousandsOfEvents) {
    Play sum;
    for (std::uint32_t seed = 1; seed <= 400; ++seed) {
        std::mt19937 rng(seed);
        std::vector<std::uint8_t> bytes(600);
        for (auto& b : bytes) b = static_cast<std::uint8_t>(rng());
        const Play game = fuzzing::play_bytes(bytes);
        expect_clean(game, "seed " + std::to_string(seed));
        sum = total(sum, game);
    }
    // The games reach every part of the game, so a clean run means something.
    EXPECT_GT(sum.events, 50000U);
    EXPECT_GT(sum.spins, 1000U);
    EXPECT_GT(sum.pawns, 150U);
    EXPECT_GT(sum.redemptions, 100U);
}

const std::filesystem::path kFuzzDir = CASINO_FUZZ_DIR;

TEST(RandomGames, TheFuzzSeedsArePlayableGames) {
    Play sum;
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(kFuzzDir / "corpus/game")) {
        std::ifstream in(entry.path(), std::ios::binary);
        const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
        const Play game = fuzzing::play_bytes(bytes);
        expect_clean(game, entry.path().filename().string());
        sum = total(sum, game);
        ++files;
    }
    EXPECT_GE(files, 10);
    EXPECT_GE(sum.spins, 10U);
    EXPECT_GE(sum.pawns, 10U);
    EXPECT_GE(sum.redemptions, 1U);
}

}  // namespace
}  // namespace casino::testing
