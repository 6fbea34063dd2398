// Playing the game's sound cues through the system's own player (winmm), synchronously,
// with the system's default sound for a missing file.
#pragma once

#include <string>
#include <string_view>

#include "core/rules/cue.h"

namespace casino::win32 {

// The folder of casino.exe, which holds the game's "sound" folder; empty when it cannot be
// told.
std::string installed_data_dir();

// Plays one cue and returns when it has ended: the first of its files that exists (the
// game's own path relative to the current directory, then the same path in the data
// folder); when neither does, the game's own path goes to the system, which answers a
// missing file with its default sound. Silent when the system has no sound player.
void play_cue(rules::Cue cue, std::string_view data_dir);

}  // namespace casino::win32
