// Buying pawned clothes back.
#include "core/form1.h"

namespace casino {

void Form1::cmdre_Click() {
    hide(Control::List1);
    if (pawned_.empty()) return;
    port_->set_list_highlight(Control::List2, 0);
    show(Control::List2);
    focus(Control::List2);
}

void Form1::List2_KeyPress(int keyascii, int highlight) {
    if (keyascii != kEnterKey) return;

    if (const auto position = entry_at(pawned_, highlight)) {
        const Item item = pawned_[*position];
        const rules::WardrobeItem& w = rules::wardrobe_item(item);
        const std::size_t k = index_of(item);
        if (!rules::can_pay(state_.money, state_.redeemprice[k])) {
            message("у тебя нет столько денег.");
            hide(Control::List2);
            return;
        }
        add_money(-state_.redeemprice[k]);
        add_to_list(Control::List1, item);
        if (w.counts_as_clothes) --state_.pawnedclothes;
        if (w.is_trousers) --state_.pawnedtrousers;
        message("заходи еще.");
        remove_from_list(Control::List2, *position);
    }
    hide(Control::List2);
}

}  // namespace casino
