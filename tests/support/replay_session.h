// Plays a scripted game through Form1 on the fake front end and writes what a player
// would have seen, in the replay tool's format.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

#include "core/form1.h"
#include "support/fake_port.h"

namespace casino::testing {

class ReplaySession {
   public:
    ReplaySession();

    // Runs one script line; returns the reason when the line cannot be read.
    std::optional<std::string> run_line(std::string_view line);

    // Runs a whole script. Returns the exit status: 0, or 2 after the first bad line,
    // which is reported on err as "error line N: <why>".
    int run(std::istream& in, std::ostream& out, std::ostream& err);

    // The state as the "show" command prints it.
    [[nodiscard]] std::string show() const;

    // Transcript lines produced since the last call.
    std::string take_output();

    [[nodiscard]] bool finished() const { return form_.has_quit(); }
    Form1& form() { return form_; }
    FakePort& port() { return port_; }

   private:
    FakePort port_;
    Form1 form_;
    std::string pending_show_;
};

}  // namespace casino::testing
