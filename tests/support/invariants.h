// The game's invariants, checked after every event by the tests and the fuzzers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/event.h"
#include "core/form1.h"
#include "support/fake_port.h"

namespace casino::testing {

// One event as the player lived it, for the money ledger.
struct EventRecord {
    Event event;
    std::int16_t money_before = 0;
    // For a key in a list: the highlighted line of that list before the key, empty when
    // nothing was highlighted.
    std::string highlighted_before;
    std::vector<std::string> lines;  // the transcript lines the event produced
    std::vector<std::string>
        answers;  // what its input boxes got, in order; missing ones were empty
};

// Every invariant the window breaks as it stands, one sentence each; empty when all hold.
// Given the event just handled, it also checks the ledger: the change of money must be
// exactly what the messages of that event announced.
std::vector<std::string> check_invariants(const Form1& form, const FakePort& port,
                                          const EventRecord* last_event = nullptr);

}  // namespace casino::testing
