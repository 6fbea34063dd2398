// Form1: the main window's game side. It owns the state and the window model, and runs
// every handler of the game from one entry point.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "app/controls.h"
#include "app/event.h"
#include "app/table_state.h"
#include "platform/port.h"
#include "platform/random_source.h"

namespace casino {

class Form1 {
   public:
    explicit Form1(Port& port);

    // Runs the handler of one user action to its end. Events that the real window could
    // not deliver (a click on a hidden or disabled control, a key in a closed list) and
    // every event after the program has quit are ignored.
    void handle(const Event& event);

    [[nodiscard]] const TableState& state() const { return state_; }
    // For tests and the replay tool, which set up a game as if it had been played.
    TableState& state() { return state_; }
    RandomSource& random() { return random_; }

    [[nodiscard]] bool visible(Control c) const { return visible_[index(c)]; }
    [[nodiscard]] bool enabled(Control c) const { return enabled_[index(c)]; }
    [[nodiscard]] bool loaded() const { return loaded_; }
    [[nodiscard]] bool has_quit() const { return quit_; }

    // Whether the real window would deliver an event to this control now.
    [[nodiscard]] bool accepts_input(Control c) const { return visible(c) && enabled(c); }

   private:
    static constexpr std::size_t index(Control c) { return static_cast<std::size_t>(c); }

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
    void List1_KeyPress(std::int16_t& keyascii);
    void cmdre_Click();
    void List2_KeyPress(std::int16_t& keyascii);

    // ---- The spin, the chip price and the fortune events ----
    void newgame();
    void stoim();
    void priz();

    // ---- Shared steps of the bets ----
    enum class BetOutcome : std::uint8_t { Open, Closed };
    BetOutcome open_bet();  // spin, fortune events, the 20-buck test, price
    enum class Stake : std::uint8_t { Taken, Refused };
    Stake take_stake(std::int32_t stake);  // refuses what the player cannot pay
    void even_money_bet(bool (*wins)(int number));
    void pay_half_back(std::int32_t stake);  // a zero returns half the stake
    void announce_number();                  // "7 красное", "25 черное"

    // ---- Shared helpers ----
    void show(Control c);
    void show_floor();  // the six bet buttons, then "ломбард"
    void hide(Control c);
    void message(std::string_view text);
    std::int16_t ask_number(std::string_view prompt);
    void play_cue(std::string_view path);
    void reseed();
    // Adds an amount to money; a sum beyond the 16-bit range stores its limit instead.
    void add_money(std::int32_t amount);
    void fill_wardrobe();

    Port& port_;
    TableState state_;
    RandomSource random_;
    std::array<bool, kControlCount> visible_{};
    std::array<bool, kControlCount> enabled_{};
    bool loaded_ = false;
    bool quit_ = false;
};

}  // namespace casino
