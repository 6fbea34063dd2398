// The pawnshop's rules.
#include "pawnshop.h"

#include "arithmetic.h"

namespace casino::rules {

std::int16_t pawn_price(float r) {
    const double value = r;
    return static_cast<std::int16_t>(round_half_even(value * 100 + 100));
}

std::int32_t redeem_price(Item item, std::int16_t pawn_price) {
    return pawn_price + wardrobe_item(item).surcharge;
}

std::string pawn_ticket(Item item, std::int32_t redeem_price) {
    return std::string(wardrobe_item(item).text) + std::to_string(redeem_price);
}

std::string pawn_message(Item item, std::int16_t pawn_price) {
    return std::string(wardrobe_item(item).pawn_prefix) + std::to_string(pawn_price) + " баксов.";
}

}  // namespace casino::rules
