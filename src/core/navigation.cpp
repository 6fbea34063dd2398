// Moving between the screens: entering the casino, leaving the pawnshop, starting over.
#include "core/form1.h"
#include "core/rules/table.h"

namespace casino {

void Form1::cmdexit_Click() {
    show_floor();
    play_cue(rules::Cue::door);
    // A fixed greeting: nothing that changes money can be used on the street.
    message(rules::greeting());
    // The focus moves before "вход" disappears, so it never falls into the void.
    focus(Control::cmdnum);
    hide(Control::cmdexit);
}

void Form1::cmdwent_Click() {
    show_floor();
    for (const Control c : controls_on(Screen::pawnshop)) hide(c);
    hide(Control::List1);
    hide(Control::List2);
}

void Form1::new_Click() {
    state_.money = rules::kStartingMoney;
    state_.pawnedclothes = 0;
    state_.pawnedtrousers = 0;
    wardrobe_.clear();
    port_->list_clear(Control::List1);
    pawned_.clear();
    port_->list_clear(Control::List2);
    hide(Control::List1);
    hide(Control::List2);
    fill_wardrobe();
}

}  // namespace casino
