// Plays a scripted game through Form1 on the fake front end and writes what a player
// would have seen, in the replay tool's format.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/form1.h"
#include "support/fake_port.h"
#include "support/queued_draws.h"

namespace casino::testing {

// A list's entries as the player reads them: the wardrobe by the items' texts, the pawned
// list by their tickets.
std::vector<std::string> list_entries(const GameState& state, Control list);

class ReplaySession {
   public:
    ReplaySession();

    // Runs one script line; returns the reason when the line cannot be read.
    std::optional<std::string> run_line(std::string_view line);

    // Delivers an event as the window would, and hands the keyboard on as the game says.
    // Also for events no script line can say (a close, an event that arrives while a box
    // is open).
    Outcome deliver(const Event& event);

    // Runs a whole script. Returns the exit status: 0, or 2 after the first bad line,
    // which is reported on err as "error line N: <why>".
    int run(std::istream& in, std::ostream& out, std::ostream& err);

    // The state as the "show" command prints it.
    [[nodiscard]] std::string show() const;

    // Transcript lines produced since the last call.
    std::string take_output();

    [[nodiscard]] bool finished() const { return port_.quit_called(); }
    // The game and what stands around it, for tests that look closer than a transcript
    // or set up what no script line can (a front end that missed a call, say).
    [[nodiscard]] const GameState& state() const { return form_.state(); }
    [[nodiscard]] const TableState& table() const { return state_.table; }
    TableState& table() { return state_.table; }
    // What became of the last event a line delivered.
    [[nodiscard]] const Outcome& last_outcome() const { return last_; }
    [[nodiscard]] const FakePort& port() const { return port_; }
    FakePort& port() { return port_; }
    QueuedDraws& draws() { return draws_; }

   private:
    FakePort port_;
    QueuedDraws draws_;
    GameState state_;
    Form1 form_;
    Outcome last_;
    std::string pending_show_;
};

}  // namespace casino::testing
