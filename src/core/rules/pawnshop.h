// What the pawnshop knows about each piece of clothing.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "app/table_state.h"

namespace casino {

struct WardrobeItem {
    Item item;
    std::int32_t surcharge;        // added to the pawn price to buy the item back
    bool counts_as_clothes;        // raises pawnedclothes (the watch does not)
    bool is_trousers;              // raises pawnedtrousers
    std::string_view pawn_prefix;  // the pawn message before the price
};

// In the order of `items`: watch, jacket, trousers, shoes.
inline constexpr std::array<WardrobeItem, kItemCount> kWardrobe{{
    {Item::watch, 200, false, false, "ты заложил часы за "},
    {Item::jacket, 200, true, false, "ты заложил пиджак за "},
    {Item::trousers, 250, true, true, "ты заложил брюки за "},
    {Item::shoes, 200, true, false, "ты заложил ботинки за "},
}};

}  // namespace casino
