// The ten fortune events, in the order they are tested.
#include "fortune.h"

#include <array>
#include <optional>

#include "arithmetic.h"
#include "cue.h"

namespace casino::rules {

namespace {

struct FortuneRow {
    // Whether the row fires, tested against the money as earlier rows left it.
    bool (*fires)(const FortuneSituation& s);
    // The change of money: a constant, or minus the spin's fine.
    std::int32_t amount;
    bool takes_fine;
    std::optional<Cue> cue;    // none when the row plays none
    std::string_view message;  // for the fine, the text before the amount
};

const std::array<FortuneRow, 10> kFortuneTable{{
    // 1. The casino's prize for the player who has pawned all three clothes.
    {[](const FortuneSituation& s) { return s.eventroll == 5 && s.pawnedclothes > 2; }, 500, false,
     Cue::applause, "казино присудило тебе приз 500 баксов, как самому Пельторагу."},
    // 2. Theft of 300.
    {[](const FortuneSituation& s) { return s.eventroll == 11 && s.money >= 400; }, -300, false,
     Cue::cophit, "у тебя украли 300 баксов."},
    // 3. Theft of 200.
    {[](const FortuneSituation& s) { return s.eventroll == 8 && s.money >= 400; }, -200, false,
     Cue::cophit, "у тебя украли 200 баксов."},
    // 4. A loan to a friend who lost.
    {[](const FortuneSituation& s) { return s.eventroll == 10 && s.money > 2000; }, -1000, false,
     std::nullopt, "твой друг проигрался. ты одалжил ему 1000 баксов."},
    // 5. Champagne for everybody.
    {[](const FortuneSituation& s) { return s.priceroll > 14 && s.money > 3000; }, -1000, false,
     std::nullopt, "ты угостил всех шампанским. это обошлось тебе в 1000 баксов."},
    // 6. A banquet.
    {[](const FortuneSituation& s) { return s.priceroll == 9 && s.money > 10000; }, -5000, false,
     std::nullopt, "ты устроил банкет. это обошлось тебе в 5000 баксов."},
    // 7. A loan from a friend on a winning streak.
    {[](const FortuneSituation& s) { return s.priceroll == 13 && s.money <= 60; }, 300, false,
     std::nullopt, "у твоего друга идет игра. он одалжил тебе 300 баксов."},
    // 8. The local bar.
    {[](const FortuneSituation& s) { return s.eventroll > 12 && s.money > 100; }, -20, false,
     std::nullopt, "ты выпил в местном баре. это обошлось тебе в 20 баксов."},
    // 9. Fined for going about without trousers.
    {[](const FortuneSituation& s) {
         return s.eventroll < 4 && s.money > 100 && s.pawnedtrousers == 1;
     },
     0, true, Cue::siren,
     "тебя оштрафовали за появление в общественном месте в неприличном виде на "},
    // 10. A business meeting missed for want of proper clothes.
    {[](const FortuneSituation& s) {
         return s.priceroll < 4 && s.money > 1300 && s.pawnedclothes > 0;
     },
     -1000, false, std::nullopt,
     "из-за несоответствующего вида ты не смог поехать на деловую встречу. убыток составил "
     "1000 баксов."},
}};

}  // namespace

std::vector<FortuneEvent> fortune_events(const FortuneSituation& before) {
    std::vector<FortuneEvent> fired;
    FortuneSituation now = before;
    for (const FortuneRow& row : kFortuneTable) {
        if (!row.fires(now)) continue;
        FortuneEvent event{row.amount, row.cue, std::string(row.message)};
        if (row.takes_fine) {
            event.change = -std::int32_t{now.fine};
            event.message.append(std::to_string(now.fine)).append(" баксов.");
        }
        now.money = add_money(now.money, event.change);
        fired.push_back(std::move(event));
    }
    return fired;
}

}  // namespace casino::rules
