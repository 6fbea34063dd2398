// The game's invariants, checked after every event by the tests and the fuzzers.
#pragma once

#include <string>
#include <vector>

#include "core/event.h"
#include "core/form1.h"
#include "support/fake_port.h"
#include "support/ledger.h"

namespace casino::testing {

// Every invariant the window breaks as it stands, one sentence each; empty when all hold.
// Given the event just handled, it also checks the ledger: the change of money must be
// exactly what the messages of that event announced.
std::vector<std::string> check_invariants(const Form1& form, const FakePort& port,
                                          const EventRecord* last_event = nullptr);

}  // namespace casino::testing
