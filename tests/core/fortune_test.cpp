// The fortune events that run before every bet: the table row by row at its bounds, rows
// in pairs, and the game running them with the sound off.
#include "core/rules/fortune.h"

#include <gtest/gtest.h>

#include "core/rules/arithmetic.h"
#include "support/scenario.h"

namespace casino::testing {
namespace {

constexpr int kQuietEvent = 6;
constexpr int kQuietPrice = 5;

const std::string kPrize = "message казино присудило тебе приз 500 баксов, как самому Пельторагу.";
const std::string kTheft300 = "message у тебя украли 300 баксов.";
const std::string kTheft200 = "message у тебя украли 200 баксов.";
const std::string kLoanTo = "message твой друг проигрался. ты одалжил ему 1000 баксов.";
const std::string kChampagne =
    "message ты угостил всех шампанским. это обошлось тебе в 1000 баксов.";
const std::string kBanquet = "message ты устроил банкет. это обошлось тебе в 5000 баксов.";
const std::string kLoanFrom = "message у твоего друга идет игра. он одалжил тебе 300 баксов.";
const std::string kBar = "message ты выпил в местном баре. это обошлось тебе в 20 баксов.";
const std::string kMeeting =
    "message из-за несоответствующего вида ты не смог поехать на деловую встречу. убыток "
    "составил 1000 баксов.";
std::string fine_message(int fine) {
    return "message тебя оштрафовали за появление в общественном месте в неприличном виде на " +
           std::to_string(fine) + " баксов.";
}

struct Case {
    const char* what;
    int eventroll;
    int priceroll;
    int clothes;   // pawnedclothes
    int trousers;  // pawnedtrousers
    int fine;
    int money_before;
    int money_after;
    Lines events;  // what priz shows, cues included
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.what; }

// What the rows that fire show, cues included, and where they leave the money.
Lines fortune_of(const Case& c, int* money_after = nullptr) {
    const rules::FortuneSituation before{static_cast<std::int16_t>(c.money_before),
                                         static_cast<std::int16_t>(c.eventroll),
                                         c.priceroll,
                                         static_cast<std::int16_t>(c.fine),
                                         static_cast<std::int16_t>(c.clothes),
                                         static_cast<std::int16_t>(c.trousers)};
    Lines seen;
    std::int16_t money = before.money;
    for (const auto& event : rules::fortune_events(before)) {
        if (event.cue) seen.push_back("cue " + std::string(rules::cue_name(*event.cue)));
        seen.push_back("message " + event.message);
        money = rules::add_money(money, event.change);
    }
    if (money_after != nullptr) *money_after = money;
    return seen;
}

class FortuneRows : public ::testing::TestWithParam<Case> {};

TEST_P(FortuneRows, FireExactlyWithinTheirBounds) {
    const Case& c = GetParam();
    int money = 0;
    EXPECT_EQ(fortune_of(c, &money), c.events);
    EXPECT_EQ(money, c.money_after);
}

const std::string kApplause = "cue sound\\applaus8.wav";
const std::string kCophit = "cue sound\\cophit.wav";
const std::string kSiren = "cue sound\\siren.wav";

INSTANTIATE_TEST_SUITE_P(
    Bounds, FortuneRows,
    ::testing::Values(
        Case{"prize at nothing", 5, kQuietPrice, 3, 1, 75, 0, 500, {kApplause, kPrize}},
        Case{"no prize with two clothes", 5, kQuietPrice, 2, 1, 75, 0, 0, {}},
        Case{"prize capped", 5, 14, 3, 1, 75, 32300, 32767, {kApplause, kPrize}},
        Case{"no theft at 399", 11, kQuietPrice, 0, 0, 75, 399, 399, {}},
        Case{"theft of 300 at 400", 11, kQuietPrice, 0, 0, 75, 400, 100, {kCophit, kTheft300}},
        Case{"no theft of 200 at 399", 8, kQuietPrice, 0, 0, 75, 399, 399, {}},
        Case{"theft of 200 at 400", 8, kQuietPrice, 0, 0, 75, 400, 200, {kCophit, kTheft200}},
        Case{"no loan to a friend at 2000", 10, kQuietPrice, 0, 0, 75, 2000, 2000, {}},
        Case{"loan to a friend at 2001", 10, kQuietPrice, 0, 0, 75, 2001, 1001, {kLoanTo}},
        Case{"no champagne at 3000", kQuietEvent, 15, 0, 0, 75, 3000, 3000, {}},
        Case{"champagne at 3001", kQuietEvent, 17, 0, 0, 75, 3001, 2001, {kChampagne}},
        Case{"no champagne on 14", kQuietEvent, 14, 0, 0, 75, 9000, 9000, {}},
        Case{"no banquet at 10000", kQuietEvent, 9, 0, 0, 75, 10000, 10000, {}},
        Case{"banquet at 10001", kQuietEvent, 9, 0, 0, 75, 10001, 5001, {kBanquet}},
        Case{"loan from a friend at 60", kQuietEvent, 13, 0, 0, 75, 60, 360, {kLoanFrom}},
        Case{"loan from a friend at 0", kQuietEvent, 13, 0, 0, 75, 0, 300, {kLoanFrom}},
        Case{"no loan from a friend at 61", kQuietEvent, 13, 0, 0, 75, 61, 61, {}},
        Case{"no bar at 100", 13, kQuietPrice, 0, 0, 75, 100, 100, {}},
        Case{"bar at 101", 15, kQuietPrice, 0, 0, 75, 101, 81, {kBar}},
        Case{"no bar on 12", 12, kQuietPrice, 0, 0, 75, 5000, 5000, {}},
        Case{"fine at 101", 3, kQuietPrice, 1, 1, 99, 101, 2, {kSiren, fine_message(99)}},
        Case{"fine of 50", 0, kQuietPrice, 1, 1, 50, 500, 450, {kSiren, fine_message(50)}},
        Case{"no fine at 100", 0, kQuietPrice, 1, 1, 75, 100, 100, {}},
        Case{"no fine with trousers on", 0, kQuietPrice, 2, 0, 75, 500, 500, {}},
        Case{"no fine on 4", 4, kQuietPrice, 3, 1, 75, 500, 500, {}},
        Case{"no meeting at 1300", kQuietEvent, 0, 1, 0, 75, 1300, 1300, {}},
        Case{"meeting at 1301", kQuietEvent, 3, 1, 0, 75, 1301, 301, {kMeeting}},
        Case{"no meeting with only the watch pawned", kQuietEvent, 0, 0, 0, 75, 5000, 5000, {}},
        Case{"nothing fires", kQuietEvent, kQuietPrice, 3, 1, 75, 20000, 20000, {}}),
    [](const ::testing::TestParamInfo<Case>& info) {
        std::string name = info.param.what;
        for (char& ch : name) {
            if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
        }
        return name;
    });

TEST(Fortune, TwoEventsInOneSpinEachSeeTheMoneyTheOtherLeft) {
    // The loan, then champagne on what is left; or too little left for it; a friend's loan
    // that pays the bar; the prize that pays for champagne; a loan over the fine's bound.
    const Case pairs[] = {
        {"loan, champagne", 10, 16, 0, 0, 75, 4200, 2200, {kLoanTo, kChampagne}},
        {"loan, no champagne", 10, 16, 0, 0, 75, 3500, 2500, {kLoanTo}},
        {"loan from, bar", 14, 13, 0, 0, 75, 50, 330, {kLoanFrom, kBar}},
        {"prize, champagne", 5, 15, 3, 1, 75, 2600, 2100, {kApplause, kPrize, kChampagne}},
        {"loan from, fine", 2, 13, 1, 1, 80, 40, 260, {kLoanFrom, kSiren, fine_message(80)}},
    };
    for (const Case& c : pairs) {
        int money = 0;
        EXPECT_EQ(fortune_of(c, &money), c.events) << c.what;
        EXPECT_EQ(money, c.money_after) << c.what;
    }
}

// The game runs the table before the price, and with the sound off plays none of its cues.
TEST(Fortune, TheGameShowsTheRowsThatFireAndWithSoundOffPlaysNoCue) {
    Game game;
    game.entered();
    game.menu(MenuItem::sound);
    game.set_money(1000);
    const Lines seen = game.bet(Control::cmdred, {7, 11, kQuietPrice, 75}, {});
    EXPECT_EQ(seen, (Lines{kTheft300, "message фишка стоит40", "ask сколько фишек ставишь?"}));
    EXPECT_EQ(game.money(), 700);
}

}  // namespace
}  // namespace casino::testing
