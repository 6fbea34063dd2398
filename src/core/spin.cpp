// The spin, the chip price and the steps every bet shares.
#include <string>

#include "core/form1.h"
#include "core/rules/arithmetic.h"
#include "core/rules/table.h"

namespace casino {

void Form1::newgame() {
    reseed();
    // The four draws are made in this order on every spin.
    const float number = draws_.next();
    const float eventroll = draws_.next();
    const float priceroll = draws_.next();
    const float fine = draws_.next();
    const rules::SpinResult spin = rules::spin({number, eventroll, priceroll, fine});
    state_.number = spin.number;
    state_.eventroll = spin.eventroll;
    state_.priceroll = spin.priceroll;
    state_.fine = spin.fine;
}

void Form1::stoim() {
    const std::optional<std::int32_t> price = rules::chip_price(state_.priceroll);
    if (!price) return;
    state_.chipprice = *price;
    message("фишка стоит" + std::to_string(*price));
}

Form1::BetOutcome Form1::open_bet() {
    newgame();
    priz();
    if (state_.money < rules::kBetMinimum) {
        message("тебе не на что играть.");
        return BetOutcome::Closed;
    }
    stoim();
    return BetOutcome::Open;
}

Form1::Stake Form1::take_stake(std::int32_t stake) {
    if (!rules::can_pay(state_.money, stake)) {
        message("у тебя нет столько денег!");
        return Stake::Refused;
    }
    add_money(-stake);
    return Stake::Taken;
}

void Form1::call_off(std::int32_t taken) { add_money(taken); }

void Form1::announce_number() {
    if (state_.number == 0) {
        message("зеро господа!");  // no colour, and the last one stays
        return;
    }
    state_.color = rules::colour_word(state_.number);
    message(std::to_string(state_.number) + state_.color);
}

}  // namespace casino
