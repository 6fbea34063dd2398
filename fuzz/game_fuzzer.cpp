// Fuzz target: the whole game. The bytes choose clicks, keys, highlight moves, menu
// commands, typed answers, the clock and the rolls; the invariants are checked after
// every line.
#include <cstdio>
#include <cstdlib>

#include "support/scripted_game.h"

namespace {

std::size_t g_events = 0;

void print_figures() { std::fprintf(stderr, "game_fuzzer: %zu events\n", g_events); }

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
    std::atexit(print_figures);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto play = casino::fuzzing::play_bytes({data, size});
    g_events += play.events;
    if (!play.violations.empty()) {
        // The script replays the game up to the broken invariant.
        std::fprintf(stderr, "---- script ----\n%s---- broken after the last line ----\n",
                     casino::fuzzing::joined(play.script).c_str());
        for (const auto& v : play.violations) std::fprintf(stderr, "%s\n", v.c_str());
        std::abort();
    }
    return 0;
}
