// Plays a scripted game through Form1 on the fake front end and writes what a player
// would have seen, in the replay tool's format.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

#include "core/form1.h"
#include "support/fake_port.h"
#include "support/queued_draws.h"

namespace casino::testing {

class ReplaySession {
   public:
    ReplaySession();

    // Runs one script line; returns the reason when the line cannot be read.
    std::optional<std::string> run_line(std::string_view line);

    // Delivers an event no script line can say (a close, an event that arrives while a
    // box is open), as the window would.
    void deliver(const Event& event) { form_.handle(event); }

    // Runs a whole script. Returns the exit status: 0, or 2 after the first bad line,
    // which is reported on err as "error line N: <why>".
    int run(std::istream& in, std::ostream& out, std::ostream& err);

    // The state as the "show" command prints it.
    [[nodiscard]] std::string show() const;

    // Transcript lines produced since the last call.
    std::string take_output();

    [[nodiscard]] bool finished() const { return form_.has_quit(); }
    // The game and what stands around it, for tests that look closer than a transcript
    // or set up what no script line can (a front end that missed a call, say).
    [[nodiscard]] const Form1& form() const { return form_; }
    [[nodiscard]] const TableState& table() const { return table_; }
    TableState& table() { return table_; }
    [[nodiscard]] const FakePort& port() const { return port_; }
    FakePort& port() { return port_; }
    QueuedDraws& draws() { return draws_; }

   private:
    FakePort port_;
    QueuedDraws draws_;
    TableState table_;
    Form1 form_;
    std::string pending_show_;
};

}  // namespace casino::testing
