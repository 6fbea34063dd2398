// Running the fortune events before a bet.
#include "core/form1.h"
#include "core/rules/fortune.h"

namespace casino {

void Form1::priz() {
    const rules::FortuneSituation now{state_.money, state_.eventroll,     state_.priceroll,
                                      state_.fine,  state_.pawnedclothes, state_.pawnedtrousers};
    // Each event's money changes before its cue plays and its message shows.
    for (const rules::FortuneEvent& event : rules::fortune_events(now)) {
        add_money(event.change);
        if (event.cue) play_cue(*event.cue);
        message(event.message);
    }
}

}  // namespace casino
