// Form1: construction, the event dispatch, the load step and the helpers every handler uses.
#include "app/form1.h"

#include <limits>

#include "platform/number_reader.h"

namespace casino {

Form1::Form1(Port& port) : port_(port) {
    for (const auto& row : kControls) {
        visible_[index(row.id)] = row.visible;
        enabled_[index(row.id)] = row.enabled;
    }
}

void Form1::handle(const Event& event) {
    if (quit_) return;
    if (!loaded_ && event.type != EventType::Load) return;

    switch (event.type) {
        case EventType::Load:
            if (!loaded_) Form_Load();
            return;
        case EventType::Unload: Form_Unload(); return;
        case EventType::Menu:
            switch (event.menu) {
                case MenuItem::balance: деньги_Click(); return;
                case MenuItem::sound: sound_Click(); return;
                case MenuItem::start_over: new_Click(); return;
                case MenuItem::exit: выход_Click(); return;
                case MenuItem::help: help_Click(); return;
            }
            return;
        case EventType::Click:
            if (!accepts_input(event.control)) return;
            switch (event.control) {
                case Control::cmdexit: cmdexit_Click(); return;
                case Control::cmdwent: cmdwent_Click(); return;
                case Control::cmdred: cmdred_Click(); return;
                case Control::cmdbleck: cmdbleck_Click(); return;
                case Control::Command1: Command1_Click(); return;
                case Control::Command2: Command2_Click(); return;
                case Control::cmddu: cmddu_Click(); return;
                case Control::cmdnum: cmdnum_Click(); return;
                case Control::cmdlom: cmdlom_Click(); return;
                case Control::cmdpay: cmdpay_Click(); return;
                case Control::cmdre: cmdre_Click(); return;
                case Control::List1:
                case Control::List2: return;  // a click in a list only moves its highlight
            }
            return;
        case EventType::KeyPress: {
            if (!accepts_input(event.control)) return;
            // The handlers take a 16-bit character code, as the window delivers it.
            auto keyascii = static_cast<std::int16_t>(event.key);
            if (event.control == Control::List1) List1_KeyPress(keyascii);
            if (event.control == Control::List2) List2_KeyPress(keyascii);
            return;
        }
    }
}

// ---- Load step ----

void Form1::Form_Load() {
    loaded_ = true;
    // The window's colours and font are part of the window table; the front end has
    // already applied them.
    for (const Control c : kBetButtons) hide(c);
    state_.money = 60;
    state_.items = {"часы ", "пиджак ", "брюки ", "ботинки "};
    fill_wardrobe();
}

void Form1::fill_wardrobe() {
    for (const auto& item : state_.items) port_.list_add(Control::List1, item);
}

// ---- Shared helpers ----

void Form1::show(Control c) {
    visible_[index(c)] = true;
    port_.set_visible(c, true);
    enabled_[index(c)] = true;
    port_.set_enabled(c, true);
}

void Form1::show_floor() {
    for (const Control c : kBetButtons) show(c);
    show(Control::cmdlom);
}

void Form1::hide(Control c) {
    visible_[index(c)] = false;
    port_.set_visible(c, false);
    enabled_[index(c)] = false;
    port_.set_enabled(c, false);
}

void Form1::message(std::string_view text) { port_.message(text); }

std::int16_t Form1::ask_number(std::string_view prompt) {
    return read_number(port_.ask_text(prompt));
}

void Form1::play_cue(std::string_view path) {
    if (state_.mute == 0) port_.play_wav(path);
}

void Form1::reseed() { random_.reseed(static_cast<float>(port_.time_of_day())); }

void Form1::add_money(std::int32_t amount) {
    const std::int32_t sum = std::int32_t{state_.money} + amount;
    constexpr std::int32_t lo = std::numeric_limits<std::int16_t>::min();
    constexpr std::int32_t hi = std::numeric_limits<std::int16_t>::max();
    state_.money = static_cast<std::int16_t>(sum < lo ? lo : (sum > hi ? hi : sum));
}

}  // namespace casino
