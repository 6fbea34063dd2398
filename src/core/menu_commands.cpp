// The window-level commands of the menu: balance, sound, help and exit.
#include <string>

#include "core/form1.h"

namespace casino {

void Form1::деньги_Click() { message("у тебя" + std::to_string(state_.money) + " баксов."); }

void Form1::sound_Click() {
    if (state_.mute == 0) {
        state_.mute = 1;
        port_.set_menu_caption(MenuItem::sound, kSoundOnCaption);
    } else {
        state_.mute = 0;
        port_.set_menu_caption(MenuItem::sound, kSoundOffCaption);
    }
}

void Form1::help_Click() { message("азарт + удача- и ты миллионер!"); }

void Form1::выход_Click() {
    quit_ = true;
    port_.quit();
}

// Closing the window in any way is the same exit, never cancelled.
void Form1::Form_Unload() { выход_Click(); }

}  // namespace casino
