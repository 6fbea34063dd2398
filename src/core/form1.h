// Form1: the main window's game side. It owns the game's whole state (the table state,
// what each control shows, both lists' entries) and runs every handler of the game from
// one entry point; the front end is told what to show through the Port.
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
#include "core/port.h"
#include "core/rules/arithmetic.h"
#include "core/rules/roulette.h"
#include "core/table_state.h"

namespace casino {

class Form1 {
   public:
    // The game speaks through the port, draws from `draws` and keeps the money, the
    // counters and the last spin in `table`; all three outlive it. A fresh game passes a
    // default TableState.
    Form1(Port& port, Draws& draws, TableState& table);

    // Runs the handler of one user action to its end. Events that the real window could
    // not deliver (a click on a hidden or disabled control, a key in a closed list) and
    // every event after the program has quit are ignored. So is every event that arrives
    // while a handler runs (one waiting in a box can let the platform deliver another),
    // except a close, which always ends the program.
    void handle(const Event& event);

    [[nodiscard]] bool visible(Control c) const { return visible_[index(c)]; }
    [[nodiscard]] bool enabled(Control c) const { return enabled_[index(c)]; }
    [[nodiscard]] bool loaded() const { return loaded_; }
    [[nodiscard]] bool has_quit() const { return quit_; }
    // The entries of a list box, as the player sees them: item texts in the wardrobe
    // (List1), pawn tickets in the pawned list (List2).
    [[nodiscard]] std::vector<std::string> list_entries(Control list) const;

    // Whether the real window would deliver an event to this control now.
    [[nodiscard]] bool accepts_input(Control c) const { return visible(c) && enabled(c); }

   private:
    static constexpr std::size_t index(Control c) { return static_cast<std::size_t>(c); }

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
    void even_money_bet(rules::EvenMoney bet);
    void announce_number();  // "зеро господа!", or "7 красное", "25 черное"

    // ---- Shared helpers ----
    void show(Control c);
    void show_floor();
    void hide(Control c);
    void message(std::string_view text);
    std::int16_t ask_number(std::string_view prompt);
    void play_cue(std::string_view path);
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
    TableState& state_;
    std::array<bool, kControlCount> visible_{};
    std::array<bool, kControlCount> enabled_{};
    std::vector<Item> wardrobe_;  // List1's entries, in their order
    std::vector<Item> pawned_;    // List2's entries: the items whose tickets it shows
    bool loaded_ = false;
    bool quit_ = false;
    bool running_ = false;  // a handler has not yet returned
};

}  // namespace casino
