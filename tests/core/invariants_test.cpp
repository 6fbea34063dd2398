// The invariant checker and its ledger catch what they claim to, and long random games,
// the fuzz seeds and the fuzz regressions keep every invariant.
#include "support/invariants.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "support/scripted_game.h"

namespace casino::testing {
namespace {

using fuzzing::Play;

bool mentions(const std::vector<std::string>& violations, std::string_view words) {
    return std::any_of(violations.begin(), violations.end(), [&](const std::string& v) {
        return v.find(words) != std::string::npos;
    });
}

std::string joined(const std::vector<std::string>& lines) {
    std::string out;
    for (const auto& line : lines) out += line + "\n";
    return out;
}

// Enter in a list; Window::play fills in the list's highlight.
Event enter_in(Control list) { return Event::key_press(list, kEnterKey, -1); }

// A loaded window, on the casino floor or still on the street.
struct Window {
    FakePort port;
    Form1 form{port};

    explicit Window(bool entered = true) {
        form.handle(Event::load());
        if (entered) form.handle(Event::click(Control::cmdexit));
        port.take_transcript();
    }

    // Fixes the next spin: number, eventroll 6, priceroll 0 (chips at 20), fine 50. No
    // fortune event fires on these rolls without pawned clothes.
    void spin(int number) {
        form.random().queue((static_cast<float>(number) + 0.5F) / 37.0F);
        for (const float r : {0.4F, 0.0F, 0.0F}) form.random().queue(r);
    }

    // Delivers the event with the answers typed in advance, and records it for the ledger.
    EventRecord play(Event event, std::vector<std::string> answers = {}) {
        if (event.type == EventType::KeyPress) event.highlight = port.list(event.control).highlight;
        EventRecord record{event, form.state().money, {}, {}, answers};
        if (event.type == EventType::KeyPress)
            record.highlighted_before = port.highlighted(event.control);
        for (auto& a : answers) port.type(std::move(a));
        form.handle(event);
        record.lines = port.take_transcript();
        return record;
    }

    // Walks into the pawnshop and pawns one wardrobe entry at the given price draw.
    void pawn(int entry, float price_draw) {
        form.handle(Event::click(Control::cmdlom));
        form.handle(Event::click(Control::cmdpay));
        port.move_highlight(Control::List1, entry);
        form.random().queue(price_draw);
        play(enter_in(Control::List1));
        port.take_transcript();
    }

    std::vector<std::string> check(const EventRecord* record = nullptr) const {
        return check_invariants(form, port, record);
    }
};

// ---- The state invariants ----

TEST(Invariants, HoldOnAFreshWindowAndAfterEntering) {
    EXPECT_EQ(joined(Window(false).check()), "");
    EXPECT_EQ(joined(Window(true).check()), "");

    FakePort port;
    const Form1 unloaded(port);
    EXPECT_TRUE(mentions(check_invariants(unloaded, port), "load step"));
}

TEST(Invariants, CatchMoneyOutOfRange) {
    Window w;
    w.form.state().money = -1;
    EXPECT_TRUE(mentions(w.check(), "money is negative"));

    Window street(false);
    street.form.state().money = 100;
    EXPECT_TRUE(mentions(street.check(), "on the street money is 100"));
}

TEST(Invariants, CatchAFrontEndThatShowsOtherListsOrControlsThanTheGameHolds) {
    Window both;
    both.port.list_add(Control::List2, "часы 300");
    EXPECT_TRUE(mentions(both.check(), "List2 on the screen is not the game's list"));
    EXPECT_TRUE(mentions(both.check(), "[часы ] stands 2 times"));

    Window neither;
    neither.port.list_remove(Control::List1, 3);
    EXPECT_TRUE(mentions(neither.check(), "[ботинки ] stands 0 times"));

    Window stranger;
    stranger.port.list_add(Control::List1, "шляпа ");
    EXPECT_TRUE(mentions(stranger.check(), "[шляпа ], which is no item"));

    Window hidden;  // a front end that missed the call showing a bet button
    hidden.port.set_shown(Control::cmdred, false);
    EXPECT_TRUE(mentions(hidden.check(), "cmdred on the screen is not as the game holds it"));
}

TEST(Invariants, CatchCountersAndTicketsThatDisagreeWithThePawnedList) {
    Window w;
    w.pawn(2, 0.5F);  // the trousers, for 150
    EXPECT_EQ(joined(w.check()), "");
    w.form.state().pawnedclothes = 0;
    w.form.state().pawnedtrousers = 0;
    EXPECT_TRUE(mentions(w.check(), "pawnedclothes is 0 but the pawned list holds 1"));
    EXPECT_TRUE(mentions(w.check(), "pawnedtrousers is 0 but the pawned list holds 1"));

    // A ticket that names another price than the one to pay.
    w.form.state().pawnedclothes = 1;
    w.form.state().pawnedtrousers = 1;
    w.form.state().redeemprice[2] = 401;
    EXPECT_TRUE(mentions(w.check(), "does not match redeem price 401"));

    // The watch counts as no clothes.
    Window watch;
    watch.pawn(0, 0.5F);
    watch.form.state().pawnedclothes = 1;
    EXPECT_TRUE(mentions(watch.check(), "pawnedclothes is 1 but the pawned list holds 0"));
}

TEST(Invariants, CatchSpinValuesAndPricesOutOfRange) {
    Window before_spin;
    before_spin.form.state().number = 5;
    EXPECT_TRUE(mentions(before_spin.check(), "while fine is still 0"));

    Window w;
    w.spin(36);
    w.play(Event::click(Control::cmdred));
    EXPECT_EQ(joined(w.check()), "");
    w.form.state().number = 37;
    w.form.state().eventroll = 16;
    w.form.state().priceroll = 18;
    w.form.state().fine = 100;
    w.form.state().chipprice = 30;
    const auto v = w.check();
    for (const char* what :
         {"number 37", "eventroll 16", "priceroll 18", "fine 100", "chipprice 30"}) {
        EXPECT_TRUE(mentions(v, what)) << what;
    }
}

TEST(Invariants, CatchASoundCaptionThatDisagreesWithMute) {
    Window w;
    w.form.state().mute = 1;
    EXPECT_TRUE(mentions(w.check(), "the sound item reads"));
    w.form.handle(Event::menu_item(MenuItem::sound));  // back to 0, and the caption follows
    EXPECT_EQ(joined(w.check()), "");
}

// ---- The ledger ----

TEST(Ledger, AgreesWithRealBetsAndCatchesAWrongPayout) {
    Window w;
    w.spin(7);
    const EventRecord red = w.play(Event::click(Control::cmdred), {"3"});
    ASSERT_EQ(w.form.state().money, 120);  // 3 chips at 20 on red, and 7 is red
    EXPECT_EQ(joined(w.check(&red)), "");

    w.form.state().money = 119;
    EXPECT_TRUE(mentions(w.check(&red), "ledger: money went from 60 to 119"));
}

// The ledger reads the numbers from the boxes alone, as the monkey runs of the real
// programs need; the checker then holds them against the game's own values.
TEST(Ledger, HoldsTheAnnouncedNumberAndPriceAgainstTheGame) {
    Window w;
    w.spin(7);
    EventRecord red = w.play(Event::click(Control::cmdred), {"3"});
    const Settlement settled = settle(red);
    EXPECT_EQ(settled.number, 7);
    EXPECT_EQ(settled.chipprice, 20);
    EXPECT_EQ(settled.money, 120);

    std::replace(red.lines.begin(), red.lines.end(), std::string("message 7 красное"),
                 std::string("message 8 красное"));
    EXPECT_TRUE(mentions(w.check(&red), "ledger: the result announced 8, but number is 7"));
    std::replace(red.lines.begin(), red.lines.end(), std::string("message 8 красное"),
                 std::string("message 8 черное"));  // 8 is no black number
    EXPECT_TRUE(mentions(w.check(&red), "ledger: expected a result, got [message 8 черное]"));

    w.spin(7);  // chips at 20 again
    EventRecord priced = w.play(Event::click(Control::cmdred), {"0"});
    for (auto& line : priced.lines) {
        if (line.starts_with("message фишка стоит")) line = "message фишка стоит40";
    }
    EXPECT_TRUE(mentions(w.check(&priced), "ledger: chips announced at 40"));
}

TEST(Ledger, CatchesAStakeLeftTakenOnRefusal) {
    Window w;
    w.spin(7);
    const EventRecord refused = w.play(Event::click(Control::cmddu), {"1", "5"});
    ASSERT_EQ(w.form.state().money, 60);
    EXPECT_EQ(joined(w.check(&refused)), "");
    w.form.state().money = 40;  // the first dozen's 20 not given back
    EXPECT_TRUE(mentions(w.check(&refused), "announced 60"));
}

TEST(Ledger, CatchesANegativeCountTaken) {
    for (const Control bet : {Control::Command1, Control::cmddu, Control::cmdnum}) {
        Window w;
        w.spin(7);
        const EventRecord negative = w.play(Event::click(bet), {"-2", "-2", "-2"});
        EXPECT_EQ(joined(w.check(&negative)), "") << name_of(bet);
        w.form.state().money = 100;  // what taking -2 chips at 20 would leave
        EXPECT_TRUE(mentions(w.check(&negative), "announced 60")) << name_of(bet);
    }
}

TEST(Ledger, ExpectsTheRefusalExactlyWhenThePurseIsShort) {
    Window w;
    w.spin(7);
    // 3 chips at 20 are exactly the 60 bucks: no refusal, so a refusal line is a fault.
    EventRecord record = w.play(Event::click(Control::cmdbleck), {"3"});
    EXPECT_EQ(joined(w.check(&record)), "");
    record.lines.insert(record.lines.begin() + 2, "message у тебя нет столько денег!");
    EXPECT_TRUE(mentions(w.check(&record), "ledger: expected a result, got [message у тебя нет"));
}

TEST(Ledger, FollowsTheHouseLimitAndRepeatedNumbers) {
    Window w;
    w.form.state().money = 32000;
    w.spin(8);
    const EventRecord numbers = w.play(Event::click(Control::cmdnum), {"2", "8", "8"});
    EXPECT_EQ(w.form.state().money, 32767);
    EXPECT_EQ(joined(w.check(&numbers)), "");

    // Below the limit each entry of the drawn number pays 36 chips.
    Window low;
    low.spin(8);
    const EventRecord twice = low.play(Event::click(Control::cmdnum), {"2", "8", "8"});
    EXPECT_EQ(joined(low.check(&twice)), "");
    low.form.state().money = 60 - 40 + 3 * 36 * 20;  // the growing 36 x k reading
    EXPECT_TRUE(mentions(low.check(&twice), "announced 1460"));
}

TEST(Ledger, ReadsFortuneMessagesAndTheFineFromItsText) {
    Window w;
    w.form.state().money = 500;
    // The trousers at the pawnshop, and a spin that fines: eventroll 0, fine 77.
    w.form.handle(Event::click(Control::cmdlom));
    w.form.handle(Event::click(Control::cmdpay));
    w.port.move_highlight(Control::List1, 2);
    const EventRecord pawn = w.play(enter_in(Control::List1));
    EXPECT_EQ(joined(w.check(&pawn)), "");
    w.form.handle(Event::click(Control::cmdwent));
    w.port.take_transcript();
    for (const float r : {0.5F, 0.0F, 0.5F, 0.54F}) w.form.random().queue(r);
    const EventRecord fined = w.play(Event::click(Control::Command2), {"0"});
    ASSERT_EQ(w.form.state().fine, 77);
    EXPECT_EQ(joined(w.check(&fined)), "");

    // A fine that names one amount and takes another is caught.
    w.form.state().money = static_cast<std::int16_t>(w.form.state().money - 1);
    EXPECT_TRUE(mentions(w.check(&fined), "ledger: money went from"));
}

TEST(Ledger, ChecksPawnAndRedeemPricesAgainstTheirMessages) {
    Window w;
    w.form.handle(Event::click(Control::cmdlom));
    w.form.handle(Event::click(Control::cmdpay));
    w.form.random().queue(0.25F);  // pawned for 125, redeemed for 325
    const EventRecord pawn = w.play(enter_in(Control::List1));
    EXPECT_EQ(w.form.state().money, 185);
    EXPECT_EQ(joined(w.check(&pawn)), "");

    w.form.handle(Event::click(Control::cmdre));
    const EventRecord refused = w.play(enter_in(Control::List2));
    EXPECT_EQ(joined(w.check(&refused)), "");

    w.form.state().money = 325;
    w.form.handle(Event::click(Control::cmdre));
    const EventRecord redeemed = w.play(enter_in(Control::List2));
    EXPECT_EQ(w.form.state().money, 0);
    EXPECT_EQ(joined(w.check(&redeemed)), "");
    w.form.state().money = 125;  // the pawn price taken back instead of the ticket's
    EXPECT_TRUE(mentions(w.check(&redeemed), "announced 0"));
}

TEST(Cues, FollowTheirMessagesAndFallSilentWithTheSound) {
    Window w;
    w.spin(7);
    EventRecord bet = w.play(Event::click(Control::cmdred), {"1"});
    EXPECT_EQ(joined(w.check(&bet)), "");
    std::erase(bet.lines, "cue sound\\nomore.wav");
    EXPECT_TRUE(mentions(w.check(&bet), "cues: the messages call for [ sound\\nomore.wav ]"));

    Window muted;
    muted.form.handle(Event::menu_item(MenuItem::sound));
    muted.port.take_transcript();
    muted.spin(7);
    EventRecord quiet = muted.play(Event::click(Control::cmdred), {"1"});
    EXPECT_EQ(joined(muted.check(&quiet)), "");
    quiet.lines.insert(quiet.lines.end() - 1, "cue sound\\nomore.wav");
    EXPECT_TRUE(mentions(muted.check(&quiet), "with mute 1, played [ sound\\nomore.wav ]"));
}

TEST(Cues, TheDoorGreetsAndTheLaughAnswersAnEmptyWardrobe) {
    Window street(false);
    EventRecord enter = street.play(Event::click(Control::cmdexit));
    EXPECT_EQ(joined(street.check(&enter)), "");
    enter.lines.erase(enter.lines.begin());  // the door cue
    EXPECT_TRUE(mentions(street.check(&enter), "call for [ sound\\door.wav ]"));

    Window w;
    w.form.handle(Event::click(Control::cmdlom));
    for (int i = 0; i < 4; ++i) {
        w.form.handle(Event::click(Control::cmdpay));
        w.play(enter_in(Control::List1));
    }
    w.port.take_transcript();
    EventRecord laugh = w.play(Event::click(Control::cmdpay));
    EXPECT_EQ(joined(w.check(&laugh)), "");
    laugh.lines.insert(laugh.lines.begin(), "cue sound\\cophit.wav");
    EXPECT_TRUE(mentions(w.check(&laugh), "played [ sound\\cophit.wav sound\\laugh3.wav ]"));
}

TEST(Ledger, StartOverGivesSixtyUnlessTheGameHasEnded) {
    Window w;
    w.form.state().money = 900;
    const EventRecord again = w.play(Event::menu_item(MenuItem::start_over));
    EXPECT_EQ(joined(w.check(&again)), "");

    w.form.state().money = 900;
    w.form.handle(Event::menu_item(MenuItem::exit));
    const EventRecord ignored = w.play(Event::menu_item(MenuItem::start_over));
    EXPECT_EQ(w.form.state().money, 900);
    EXPECT_EQ(joined(w.check(&ignored)), "");
}

// ---- Whole games ----

void expect_clean(const Play& play, const std::string& name) {
    EXPECT_TRUE(play.violations.empty()) << name << "\n"
                                         << play.script_text() << "---- broken ----\n"
                                         << joined(play.violations);
}

Play total(Play sum, const Play& game) {
    sum.events += game.events;
    sum.settled_bets += game.settled_bets;
    sum.refusals += game.refusals;
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
    EXPECT_GT(sum.settled_bets, 100U);
    EXPECT_GT(sum.refusals, 10U);
    EXPECT_GT(sum.pawns, 100U);
    EXPECT_GT(sum.redemptions, 10U);
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
    EXPECT_GE(sum.settled_bets, 10U);
    EXPECT_GE(sum.refusals, 3U);
    EXPECT_GE(sum.pawns, 10U);
    EXPECT_GE(sum.redemptions, 1U);
}

TEST(RandomGames, TheFuzzRegressionsStayFixed) {
    int scripts = 0;
    for (const auto& entry : std::filesystem::directory_iterator(kFuzzDir / "regressions")) {
        if (entry.path().extension() != ".script") continue;
        std::ifstream in(entry.path());
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        const Play game = fuzzing::play_lines(lines);
        expect_clean(game, entry.path().filename().string());
        EXPECT_EQ(game.script.size(), lines.size()) << entry.path().filename().string();
        ++scripts;
    }
    EXPECT_GE(scripts, 1);
}

}  // namespace
}  // namespace casino::testing
