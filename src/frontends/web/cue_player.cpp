// Playing the game's sound cues on the page (page/cue_player.js plays them).
#include "cue_player.h"

#include "core/cue_files.h"
#include "page.h"

namespace casino::web {
namespace {

int milliseconds(std::chrono::milliseconds time) { return static_cast<int>(time.count()); }

}  // namespace

// The page's files are its only data folder, so the game's own path is the one candidate.
std::string cue_url(std::string_view game_path) {
    return cue_file_candidates(game_path, {}, '/').front();
}

void play_cue(std::string_view game_path, const CueTimes& times) {
    casino_page_play_cue(cue_url(game_path).c_str(), milliseconds(times.margin),
                         milliseconds(times.longest), milliseconds(times.bell));
}

}  // namespace casino::web
