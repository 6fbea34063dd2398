// The window-level commands of the menu: balance, sound, help and exit.
#include <string>
#include <utility>

#include "core/form1.h"

namespace casino {

void Form1::деньги_Click() { message("у тебя" + std::to_string(state_.money) + " баксов."); }

void Form1::sound_Click() {
    if (state_.mute == 0) {
        state_.mute = 1;
        port_->set_menu_caption(MenuItem::sound, kSoundOnCaption);
    } else {
        state_.mute = 0;
        port_->set_menu_caption(MenuItem::sound, kSoundOffCaption);
    }
}

void Form1::help_Click() { message("азарт + удача- и ты миллионер!"); }

namespace {

// Where the game speaks once it has ended: nowhere.
class SilentPort final : public Port {
   public:
    void set_shown(Control, bool) override {}
    void set_focus(Control) override {}
    void set_menu_caption(MenuItem, std::string_view) override {}
    void list_add(Control, std::string_view) override {}
    void list_remove(Control, int) override {}
    void list_clear(Control) override {}
    void set_list_highlight(Control, int) override {}
    void message(std::string_view) override {}
    std::string ask_text(std::string_view) override { return {}; }
    void play(Cue) override {}
    double time_of_day() override { return 0; }
    void quit() override {}
};

}  // namespace

void Form1::выход_Click() {
    static SilentPort silence;
    quit_ = true;
    Port& front_end = *std::exchange(port_, &silence);
    front_end.quit();
}

// Closing the window in any way is the same exit, never cancelled.
void Form1::Form_Unload() { выход_Click(); }

}  // namespace casino
