// Running the fortune events before a bet.
#include "app/form1.h"
#include "fortune/fortune_table.h"

namespace casino {

void Form1::priz() {
    // Every row is tested, each against the money as the rows before it left it.
    for (const FortuneRow& row : kFortuneTable) {
        if (!row.fires(state_)) continue;
        const std::string text = row.text(state_);
        add_money(row.change(state_));
        if (!row.cue.empty()) play_cue(row.cue);
        message(text);
    }
}

}  // namespace casino
