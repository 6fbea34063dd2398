// Where the file of a sound cue is looked for.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/rules/cue.h"

namespace casino {

// The game names its cues by paths relative to the current directory (rules::cue_name),
// as it always has. An installed game also finds them in its data folder, which holds the
// same "sound" folder (on Linux <prefix>/share/casino, on Windows the program's folder).
// The candidates, in the order to try them, with the platform's separator; a front end
// plays the first that exists, and the platform's default sound when none does.
std::vector<std::string> cue_file_candidates(rules::Cue cue, std::string_view data_dir,
                                             char separator);

}  // namespace casino
