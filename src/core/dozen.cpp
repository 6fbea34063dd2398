// The dozen bet: chips on any of the three dozens in one spin.
#include <array>

#include "app/form1.h"

namespace casino {

void Form1::cmddu_Click() {
    if (open_bet() == BetOutcome::Closed) return;

    static constexpr std::array<std::string_view, 3> kPrompts{
        "сколько фишек ставишь на первую дюжину?",
        "сколько фишек ставишь на вторую дюжину?",
        "сколько фишек ставишь на третью дюжину?",
    };

    std::array<std::int32_t, 3> counts{};
    std::int32_t totalchips = 0;
    for (std::size_t dozen = 0; dozen < counts.size(); ++dozen) {
        const std::int16_t count = ask_number(kPrompts[dozen]);
        if (count < 0) {
            // A negative count is no bet: everything taken so far goes back, silently.
            add_money(totalchips * state_.chipprice);
            return;
        }
        if (take_stake(count * state_.chipprice) == Stake::Refused) {
            add_money(totalchips * state_.chipprice);
            return;
        }
        counts[dozen] = count;
        totalchips += count;
    }
    if (totalchips == 0) return;

    play_cue("sound\\nomore.wav");
    if (state_.number == 0) {
        pay_half_back(totalchips * state_.chipprice);
        message("зеро господа!");
        return;
    }
    const auto winning_dozen = static_cast<std::size_t>((state_.number - 1) / 12);
    add_money(3 * counts[winning_dozen] * state_.chipprice);
    announce_number();
}

}  // namespace casino
