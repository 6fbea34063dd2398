// Going to the pawnshop and pawning clothes.
#include "core/form1.h"

namespace casino {

void Form1::cmdlom_Click() {
    for (const Control c : controls_on(Screen::floor)) hide(c);
    for (const Control c : controls_on(Screen::pawnshop)) show(c);
}

void Form1::cmdpay_Click() {
    hide(Control::List2);
    if (!wardrobe_.empty()) {
        port_->set_list_highlight(Control::List1, 0);
        show(Control::List1);
        focus(Control::List1);
        return;
    }
    play_cue(rules::Cue::laugh);
    message("тебе нечего закладывать.");
}

void Form1::List1_KeyPress(int keyascii, int highlight) {
    // The price is drawn on every key, before the key is looked at.
    reseed();
    const std::int16_t price = rules::pawn_price(draws_.next());
    if (keyascii != kEnterKey) return;

    // With no entry highlighted nothing is pawned and nothing removed; the list closes.
    if (const auto position = entry_at(wardrobe_, highlight)) {
        const Item item = wardrobe_[*position];
        const rules::WardrobeItem& w = rules::wardrobe_item(item);
        const std::size_t k = index_of(item);
        if (w.counts_as_clothes) ++state_.pawnedclothes;
        add_money(price);
        state_.redeemprice[k] = rules::redeem_price(item, price);
        state_.pawnticket[k] = rules::pawn_ticket(item, state_.redeemprice[k]);
        add_to_list(Control::List2, item);
        if (w.is_trousers) ++state_.pawnedtrousers;
        message(rules::pawn_message(item, price));
        remove_from_list(Control::List1, *position);
    }
    hide(Control::List1);
}

}  // namespace casino
