// Going to the pawnshop and pawning clothes.
#include <string>

#include "app/form1.h"
#include "pawnshop/wardrobe.h"

namespace casino {

void Form1::cmdlom_Click() {
    for (const Control c : kBetButtons) hide(c);
    hide(Control::cmdlom);
    for (const Control c : {Control::cmdwent, Control::cmdre, Control::cmdpay}) show(c);
}

void Form1::cmdpay_Click() {
    hide(Control::List2);
    if (port_.list_count(Control::List1) > 0) {
        port_.set_list_highlight(Control::List1, 0);
        show(Control::List1);
        port_.set_focus(Control::List1);
        return;
    }
    play_cue("sound\\laugh3.wav");
    message("тебе нечего закладывать.");
}

void Form1::List1_KeyPress(std::int16_t& keyascii) {
    // The price is drawn on every key, before the key is looked at.
    reseed();
    const auto price = static_cast<std::int16_t>(random_.draw_rounded(100, 100));
    if (keyascii != kEnterKey) return;

    const int count = port_.list_count(Control::List1);
    for (int i = 0; i < count; ++i) {
        if (!port_.list_selected(Control::List1, i)) continue;
        const std::string text = port_.list_text(Control::List1, i);
        for (const WardrobeItem& w : kWardrobe) {
            const std::size_t k = index_of(w.item);
            if (text != state_.items[k]) continue;
            if (w.counts_as_clothes) ++state_.pawnedclothes;
            add_money(price);
            state_.redeemprice[k] = price + w.surcharge;
            state_.pawnticket[k] = state_.items[k] + std::to_string(state_.redeemprice[k]);
            port_.list_add(Control::List2, state_.pawnticket[k]);
            if (w.is_trousers) ++state_.pawnedtrousers;
            message(std::string(w.pawn_prefix) + std::to_string(price) + " баксов.");
            break;
        }
    }
    // With no entry highlighted nothing was pawned, and nothing is removed.
    const int highlight = port_.list_highlight(Control::List1);
    if (highlight >= 0 && highlight < port_.list_count(Control::List1)) {
        port_.list_remove(Control::List1, highlight);
    }
    hide(Control::List1);
}

}  // namespace casino
