// The pawnshop's rules: the wardrobe, the pawn price, the tickets and the redeem prices.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace casino::rules {

// The four pieces of clothing, in the order of `items`.
enum class Item : std::uint8_t { watch, jacket, trousers, shoes };
inline constexpr int kItemCount = 4;
inline constexpr std::size_t index_of(Item item) { return static_cast<std::size_t>(item); }

struct WardrobeItem {
    Item item;
    std::string_view text;         // its entry in the wardrobe list, trailing space included
    std::int32_t surcharge;        // added to the pawn price to buy the item back
    bool counts_as_clothes;        // raises pawnedclothes (the watch does not)
    bool is_trousers;              // raises pawnedtrousers
    std::string_view pawn_prefix;  // the pawn message before the price
};

// In the order of `items`: watch, jacket, trousers, shoes.
inline constexpr std::array<WardrobeItem, kItemCount> kWardrobe{{
    {Item::watch, "часы ", 200, false, false, "ты заложил часы за "},
    {Item::jacket, "пиджак ", 200, true, false, "ты заложил пиджак за "},
    {Item::trousers, "брюки ", 250, true, true, "ты заложил брюки за "},
    {Item::shoes, "ботинки ", 200, true, false, "ты заложил ботинки за "},
}};

inline constexpr const WardrobeItem& wardrobe_item(Item item) { return kWardrobe[index_of(item)]; }

// The pawn price from one draw r, 0 <= r < 1: r x 100 + 100 rounded half to even, so
// 100..200 with the two ends half as likely as the rest.
std::int16_t pawn_price(float r);

// The price to buy an item back: its pawn price and its surcharge.
std::int32_t redeem_price(Item item, std::int16_t pawn_price);

// The pawned list's line for an item: its text followed directly by the redeem price.
std::string pawn_ticket(Item item, std::int32_t redeem_price);

// "ты заложил брюки за 127 баксов."
std::string pawn_message(Item item, std::int16_t pawn_price);

}  // namespace casino::rules
