// Buying pawned clothes back.
#include <string>

#include "app/form1.h"
#include "pawnshop/wardrobe.h"

namespace casino {

void Form1::cmdre_Click() {
    hide(Control::List1);
    if (port_.list_count(Control::List2) == 0) return;
    port_.set_list_highlight(Control::List2, 0);
    show(Control::List2);
    port_.set_focus(Control::List2);
}

void Form1::List2_KeyPress(std::int16_t& keyascii) {
    if (keyascii != kEnterKey) return;

    const int count = port_.list_count(Control::List2);
    for (int i = 0; i < count; ++i) {
        if (!port_.list_selected(Control::List2, i)) continue;
        const std::string line = port_.list_text(Control::List2, i);
        for (const WardrobeItem& w : kWardrobe) {
            const std::size_t k = index_of(w.item);
            if (line != state_.pawnticket[k]) continue;
            if (std::int32_t{state_.money} - state_.redeemprice[k] < 0) {
                message("у тебя нет столько денег.");
                hide(Control::List2);
                return;
            }
            add_money(-state_.redeemprice[k]);
            port_.list_add(Control::List1, state_.items[k]);
            if (w.counts_as_clothes) --state_.pawnedclothes;
            if (w.is_trousers) --state_.pawnedtrousers;
            message("заходи еще.");
            break;
        }
    }
    const int highlight = port_.list_highlight(Control::List2);
    if (highlight >= 0 && highlight < port_.list_count(Control::List2)) {
        port_.list_remove(Control::List2, highlight);
    }
    hide(Control::List2);
}

}  // namespace casino
