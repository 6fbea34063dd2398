// Playing the game's sound cues on the page (page/cue_player.js plays them).
#include "cue_player.h"

#include "core/cue_files.h"
#include "page.h"

namespace casino::web {
namespace {

int milliseconds(std::chrono::milliseconds time) { return static_cast<int>(time.count()); }

}  // namespace

// The page's files are its only data folder, so the game's own path is the one candidate.
std::string cue_url(rules::Cue cue) { return cue_file_candidates(cue, {}, '/').front(); }

void play_cue(rules::Cue cue, const CueTimes& times) {
    casino_page_play_cue(cue_url(cue).c_str(), milliseconds(times.margin),
                         milliseconds(times.longest), milliseconds(times.bell));
}

}  // namespace casino::web
