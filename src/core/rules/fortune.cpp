// The ten fortune events, in the order they are tested.
#include "fortune/fortune_table.h"

namespace casino {

std::string FortuneRow::text(const TableState& s) const {
    if (!takes_fine) return std::string(message);
    return std::string(message) + std::to_string(s.fine) + " баксов.";
}

const std::array<FortuneRow, 10> kFortuneTable{{
    // 1. The casino's prize for the player who has pawned all three clothes.
    {[](const TableState& s) { return s.eventroll == 5 && s.pawnedclothes > 2; }, 500, false,
     "sound\\applaus8.wav", "казино присудило тебе приз 500 баксов, как самому Пельторагу."},
    // 2. Theft of 300.
    {[](const TableState& s) { return s.eventroll == 11 && s.money >= 400; }, -300, false,
     "sound\\cophit.wav", "у тебя украли 300 баксов."},
    // 3. Theft of 200.
    {[](const TableState& s) { return s.eventroll == 8 && s.money >= 400; }, -200, false,
     "sound\\cophit.wav", "у тебя украли 200 баксов."},
    // 4. A loan to a friend who lost.
    {[](const TableState& s) { return s.eventroll == 10 && s.money > 2000; }, -1000, false, "",
     "твой друг проигрался. ты одалжил ему 1000 баксов."},
    // 5. Champagne for everybody.
    {[](const TableState& s) { return s.priceroll > 14 && s.money > 3000; }, -1000, false, "",
     "ты угостил всех шампанским. это обошлось тебе в 1000 баксов."},
    // 6. A banquet.
    {[](const TableState& s) { return s.priceroll == 9 && s.money > 10000; }, -5000, false, "",
     "ты устроил банкет. это обошлось тебе в 5000 баксов."},
    // 7. A loan from a friend on a winning streak.
    {[](const TableState& s) { return s.priceroll == 13 && s.money <= 60; }, 300, false, "",
     "у твоего друга идет игра. он одалжил тебе 300 баксов."},
    // 8. The local bar.
    {[](const TableState& s) { return s.eventroll > 12 && s.money > 100; }, -20, false, "",
     "ты выпил в местном баре. это обошлось тебе в 20 баксов."},
    // 9. Fined for going about without trousers.
    {[](const TableState& s) { return s.eventroll < 4 && s.money > 100 && s.pawnedtrousers == 1; },
     0, true, "sound\\siren.wav",
     "тебя оштрафовали за появление в общественном месте в неприличном виде на "},
    // 10. A business meeting missed for want of proper clothes.
    {[](const TableState& s) { return s.priceroll < 4 && s.money > 1300 && s.pawnedclothes > 0; },
     -1000, false, "",
     "из-за несоответствующего вида ты не смог поехать на деловую встречу. убыток составил "
     "1000 баксов."},
}};

}  // namespace casino
