// The spin, the chip price and the steps every bet shares.
#include <string>

#include "app/form1.h"
#include "platform/number_reader.h"

namespace casino {

namespace {

struct PriceRow {
    int first_roll;
    int last_roll;
    std::int32_t price;
};

// The first row that holds the roll sets the price. 18 is never rolled.
constexpr PriceRow kPriceTable[] = {
    {0, 4, 20}, {5, 8, 40}, {9, 12, 60}, {13, 16, 80}, {17, 18, 100},
};

}  // namespace

void Form1::newgame() {
    reseed();
    state_.number = static_cast<std::int16_t>(random_.draw(37));
    state_.eventroll = static_cast<std::int16_t>(random_.draw(16));
    state_.priceroll = random_.draw(18);
    state_.fine = static_cast<std::int16_t>(random_.draw(50, 50));
}

void Form1::stoim() {
    for (const auto& row : kPriceTable) {
        if (state_.priceroll >= row.first_roll && state_.priceroll <= row.last_roll) {
            state_.chipprice = row.price;
            message("фишка стоит" + std::to_string(row.price));
            return;
        }
    }
}

Form1::BetOutcome Form1::open_bet() {
    newgame();
    priz();
    if (state_.money < 20) {
        message("тебе не на что играть.");
        return BetOutcome::Closed;
    }
    stoim();
    return BetOutcome::Open;
}

Form1::Stake Form1::take_stake(std::int32_t stake) {
    // The difference is tested before it is stored, so a stake far beyond the purse
    // never passes through a wrapped 16-bit value.
    if (std::int32_t{state_.money} - stake < 0) {
        message("у тебя нет столько денег!");
        return Stake::Refused;
    }
    add_money(-stake);
    return Stake::Taken;
}

void Form1::pay_half_back(std::int32_t stake) {
    add_money(static_cast<std::int32_t>(round_half_even(stake / 2.0)));
}

void Form1::announce_number() {
    state_.color = state_.number <= 18 ? " красное" : " черное";
    message(std::to_string(state_.number) + state_.color);
}

}  // namespace casino
