// Form1: the main window's game side. It keeps the game's whole state (the table state,
// what each control shows, both lists' entries) and runs every handler of the game from
// one entry point; the front end is told what to show through the Port, and what became
// of each event by the value the entry point returns.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/controls.h"
#include "core/draws.h"
#include "core/event.h"
#include "core/game_state.h"
#include "core/port.h"
#include "core/rules/arithmetic.h"
#include "core/rules/cue.h"
#include "core/rules/roulette.h"

namespace casino {

class Form1 {
   public:
    // The game speaks through the port, draws from `draws` and keeps its state in
    // `state`; all three outlive it. A fresh game passes a default GameState.
    Form1(Port& port, Draws& draws, GameState& state);

    // Runs the handler of one user action to its end and says what became of it. Events
    // that the real window could not deliver (a click on a hidden or disabled control or
    // in a list, a key in a closed list, a second load) are refused, and so is every
    // event after the game has ended. So is every event that arrives while a handler runs
    // (one waiting in a box can let the platform deliver another), except a close, which
    // always ends the game.
    Outcome handle(const Event& event);

    [[nodiscard]] const GameState& state() const { return game_; }

   private:
    static constexpr std::size_t slot(Control c) { return static_cast<std::size_t>(c); }

    [[nodiscard]] bool deliverable(const Event& event) const;
    void dispatch(const Event& event);

    // ---- Event handlers, named after their source and event ----
    void Form_Load();
    void Form_Unload();
    void cmdexit_Click();
    void cmdwent_Click();
    void new_Click();
    void деньги_Click();
    void sound_Click();
    void выход_Click();
    void help_Click();

    void cmdred_Click();
    void cmdbleck_Click();
    void Command1_Click();
    void Command2_Click();
    void cmddu_Click();
    void cmdnum_Click();

    void cmdlom_Click();
    void cmdpay_Click();
    void List1_KeyPress(int keyascii, int highlight);
    void cmdre_Click();
    void List2_KeyPress(int keyascii, int highlight);

    // ---- The spin, the chip price and the fortune events ----
    void newgame();  // the spin: reseeds, then draws the number and the hidden rolls
    void stoim();    // prices a chip from the price roll and announces it
    void priz();     // runs the fortune events against the fresh rolls

    // ---- Shared steps of the bets ----
    enum class BetOutcome : std::uint8_t { Open, Closed };
    BetOutcome open_bet();  // spin, fortune events, the 20-buck test, price
    enum class Stake : std::uint8_t { Taken, Refused };
    Stake take_stake(std::int32_t stake);  // refuses what the player cannot pay
    void call_off(std::int32_t taken);     // a bet called off gives back what it took
    void even_money_bet(rules::EvenMoney bet);
    void announce_number();  // "зеро господа!", or "7 красное", "25 черное"

    // ---- Shared helpers ----
    void show(Control c);
    void show_floor();
    void hide(Control c);
    void focus(Control c);
    void message(std::string_view text);
    std::int16_t ask_number(std::string_view prompt);
    void play_cue(rules::Cue cue);
    void reseed();
    void add_money(std::int32_t amount);  // never wraps: see rules::add_money
    void fill_wardrobe();
    void add_to_list(Control list, Item item);
    void remove_from_list(Control list, std::size_t position);
    // The entry a list's highlight stands on, if it stands on one.
    static std::optional<std::size_t> entry_at(const std::vector<Item>& entries, int highlight);

    // The front end; once the game has ended, a port that shows nothing, so that a handler
    // still unwinding from a box opens no other.
    Port* port_;
    Draws& draws_;
    GameState& game_;
    TableState& state_;          // the table state within game_, which the handlers name
    std::vector<Item>& wardrobe_;  // List1's entries within game_
    std::vector<Item>& pawned_;    // List2's entries within game_
    bool loaded_ = false;
    bool quit_ = false;
    bool running_ = false;  // a handler has not yet returned
    // The keyboard during a handler: the control holding it, and the one that lost it by
    // being hidden, if the handler has not given it to a control since.
    Keyboard holder_;
    Keyboard lost_;
};

}  // namespace casino
