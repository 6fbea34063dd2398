// What must hold after every event whatever the player did: the front end mirrors the
// game, one screen is shown, every piece of clothing is in exactly one list, and no value
// has left its range. The fuzzers and the random-game tests check it after every line;
// what each event must say and pay is the goldens' and the rule tests' business.
#pragma once

#include <string>
#include <vector>

#include "core/game_state.h"
#include "support/fake_port.h"

namespace casino::testing {

// Every invariant the window breaks as it stands, one sentence each; empty when all hold.
std::vector<std::string> check_invariants(const GameState& game, const FakePort& port);

}  // namespace casino::testing
