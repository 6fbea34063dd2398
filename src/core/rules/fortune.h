// The fortune events: a fixed table of gains and losses tested before every bet.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "app/table_state.h"

namespace casino {

struct FortuneRow {
    // Whether the row fires, tested against the state as earlier rows left it.
    bool (*fires)(const TableState& s);
    // The change of money: a constant, or minus the spin's fine.
    std::int32_t amount;
    bool takes_fine;
    std::string_view cue;      // empty when the row plays none
    std::string_view message;  // for the fine, the text before the amount

    [[nodiscard]] std::int32_t change(const TableState& s) const {
        return takes_fine ? -std::int32_t{s.fine} : amount;
    }
    [[nodiscard]] std::string text(const TableState& s) const;
};

extern const std::array<FortuneRow, 10> kFortuneTable;

}  // namespace casino
