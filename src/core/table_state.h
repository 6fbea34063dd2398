// The game's state: one plain record that lives as long as the window.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "core/rules/pawnshop.h"

namespace casino {

using rules::index_of;
using rules::Item;
using rules::kItemCount;

struct TableState {
    std::int16_t number = 0;     // winning number of the current spin, 0..36
    std::int16_t money = 0;      // the player's cash in bucks
    std::int16_t eventroll = 0;  // first hidden roll, 0..15
    std::string color;           // "", " красное" or " черное"
    std::int32_t chipprice = 0;  // price of one chip: 0 before the first bet, then 20..100
    std::int32_t priceroll = 0;  // second hidden roll, 0..17
    std::array<std::string, kItemCount> items;
    std::int16_t pawnedclothes = 0;   // jacket, trousers and shoes at the pawnshop, 0..3
    std::int16_t pawnedtrousers = 0;  // 0 or 1
    std::array<std::string, kItemCount> pawnticket;
    std::int16_t fine = 0;  // the indecency fine of this spin, 50..99
    std::array<std::int32_t, kItemCount> redeemprice{};
    std::int16_t mute = 0;  // 0: cues are played

    friend bool operator==(const TableState&, const TableState&) = default;
};

}  // namespace casino
