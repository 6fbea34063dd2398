// Form1: construction, the event dispatch, the load step and the helpers every handler uses.
#include "core/form1.h"

#include "core/number_reader.h"
#include "core/rules/arithmetic.h"
#include "core/rules/table.h"

namespace casino {

Form1::Form1(Port& port, Draws& draws, GameState& state)
    : port_(&port),
      draws_(draws),
      game_(state),
      state_(state.table),
      wardrobe_(state.wardrobe),
      pawned_(state.pawned) {}

Outcome Form1::handle(const Event& event) {
    if (quit_) return {Result::Refused, {}};
    // Closing the window ends the game at once, even from inside a box that a handler is
    // waiting on; that handler then runs to its end without a word (see выход_Click).
    if (event.type == EventType::Unload) {
        Form_Unload();
        return {Result::Ended, {}};
    }
    // One handler at a time, as the window's one thread runs them.
    if (running_ || !deliverable(event)) return {Result::Refused, {}};
    running_ = true;
    holder_ = event.focus;
    lost_.reset();
    dispatch(event);
    running_ = false;
    if (quit_) return {Result::Ended, {}};

    const auto shown = [this](Control c) { return game_.accepts_input(c); };
    Outcome outcome{Result::Handled, {}};
    // Where the keyboard goes is decided once the handler has finished and the next
    // screen stands: a handler may hide the old screen before it shows the new one.
    if (event.type == EventType::Load) {
        outcome.focus = next_in_tab_order(tab_order().back(), shown);
    } else if (lost_) {
        outcome.focus = next_in_tab_order(*lost_, shown);
    }
    return outcome;
}

// What the real window delivers: a click on a shown button, a key in an open list, any
// menu item, and the load step once, before anything else.
bool Form1::deliverable(const Event& event) const {
    switch (event.type) {
        case EventType::Load: return !loaded_;
        case EventType::Unload: return true;
        case EventType::Menu: return loaded_;
        // A click in a list only moves its highlight, which the list does by itself.
        case EventType::Click:
            return loaded_ && !is_list(event.control) && game_.accepts_input(event.control);
        case EventType::KeyPress:
            return loaded_ && is_list(event.control) && game_.accepts_input(event.control);
    }
    return false;
}

void Form1::dispatch(const Event& event) {
    switch (event.type) {
        case EventType::Load: Form_Load(); return;
        case EventType::Unload: return;  // handled before any dispatch
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
                case Control::List2: return;  // never delivered
            }
            return;
        case EventType::KeyPress:
            // The character code at its full width: a code whose low 16 bits happen to be
            // 13 is not Enter.
            if (event.control == Control::List1) List1_KeyPress(event.key, event.highlight);
            if (event.control == Control::List2) List2_KeyPress(event.key, event.highlight);
            return;
    }
}

// ---- Load step ----

void Form1::Form_Load() {
    loaded_ = true;
    // The window's colours and font are part of the window table; the front end has
    // already applied them.
    for (const Control c : kBetButtons) hide(c);
    state_.money = rules::kStartingMoney;
    for (const auto& w : rules::kWardrobe) state_.items[index_of(w.item)] = w.text;
    fill_wardrobe();
}

void Form1::fill_wardrobe() {
    for (const auto& w : rules::kWardrobe) add_to_list(Control::List1, w.item);
}

// ---- Shared helpers ----

void Form1::show(Control c) {
    game_.visible[slot(c)] = true;
    game_.enabled[slot(c)] = true;
    port_->set_shown(c, true);
}

void Form1::show_floor() {
    for (const Control c : controls_on(Screen::floor)) show(c);
}

// A control hidden while it holds the keyboard loses it; see handle for where it goes.
void Form1::hide(Control c) {
    game_.visible[slot(c)] = false;
    game_.enabled[slot(c)] = false;
    if (holder_ == c && !lost_) lost_ = c;
    port_->set_shown(c, false);
}

// Where the game puts the keyboard itself, it stays.
void Form1::focus(Control c) {
    holder_ = c;
    lost_.reset();
    port_->set_focus(c);
}

// List1 shows an item by its text, List2 by its ticket.
void Form1::add_to_list(Control list, Item item) {
    const bool wardrobe = list == Control::List1;
    (wardrobe ? wardrobe_ : pawned_).push_back(item);
    port_->list_add(list,
                    wardrobe ? state_.items[index_of(item)] : state_.pawnticket[index_of(item)]);
}

void Form1::remove_from_list(Control list, std::size_t position) {
    std::vector<Item>& entries = list == Control::List1 ? wardrobe_ : pawned_;
    entries.erase(entries.begin() + static_cast<std::ptrdiff_t>(position));
    port_->list_remove(list, static_cast<int>(position));
}

std::optional<std::size_t> Form1::entry_at(const std::vector<Item>& entries, int highlight) {
    if (highlight < 0 || static_cast<std::size_t>(highlight) >= entries.size()) return std::nullopt;
    return static_cast<std::size_t>(highlight);
}

void Form1::message(std::string_view text) { port_->message(text); }

std::int16_t Form1::ask_number(std::string_view prompt) {
    return read_number(port_->ask_text(prompt));
}

void Form1::play_cue(rules::Cue cue) {
    if (state_.mute == 0) port_->play(cue);
}

void Form1::reseed() { draws_.reseed(static_cast<float>(port_->time_of_day())); }

void Form1::add_money(std::int32_t amount) {
    state_.money = rules::add_money(state_.money, amount);
}

}  // namespace casino
