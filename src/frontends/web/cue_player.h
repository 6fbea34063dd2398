// Playing the game's sound cues on the page: each one to its end, with a short beep for a
// file the page cannot fetch, and a bounded wait.
#pragma once

#include <chrono>
#include <string>

#include "core/rules/cue.h"

namespace casino::web {

// How long the game waits for its sound.
struct CueTimes {
    // A cue whose end is never told holds the game no longer than this; no cue of ours is
    // longer than a few seconds.
    std::chrono::milliseconds longest = std::chrono::seconds(10);
    // What the browser may take beyond the cue's own length.
    std::chrono::milliseconds margin = std::chrono::milliseconds(500);
    // How long the beep, whose length the page does not know for sure, may take.
    std::chrono::milliseconds bell = std::chrono::milliseconds(1000);
};

// Where the page finds a cue: the game's own path relative to the page, with the web's
// separator.
std::string cue_url(rules::Cue cue);

// Plays one cue and returns when it has ended, or when the wait is up.
void play_cue(rules::Cue cue, const CueTimes& times = {});

}  // namespace casino::web
