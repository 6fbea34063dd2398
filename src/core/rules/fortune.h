// The fortune events: a fixed table of gains and losses tested before every bet.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cue.h"

namespace casino::rules {

// What the ten rows test: the spin's rolls and fine, the cash and the pawnshop counters.
struct FortuneSituation {
    std::int16_t money = 0;
    std::int16_t eventroll = 0;
    std::int32_t priceroll = 0;
    std::int16_t fine = 0;
    std::int16_t pawnedclothes = 0;
    std::int16_t pawnedtrousers = 0;
};

// One row that fired: the change of money, its cue (none for a silent row) and its message.
struct FortuneEvent {
    std::int32_t change;
    std::optional<Cue> cue;
    std::string message;

    friend bool operator==(const FortuneEvent&, const FortuneEvent&) = default;
};

// The rows that fire, in table order. Every row is tested, each against the money as
// the rows before it left it (their changes added without ever wrapping 16 bits). At most
// one row of the event-roll group and one of the price-roll group can fire.
std::vector<FortuneEvent> fortune_events(const FortuneSituation& before);

}  // namespace casino::rules
