// Where a cue's file is looked for, and in which order.
#include "core/cue_files.h"

#include <gtest/gtest.h>

namespace casino {
namespace {

TEST(CueFiles, TheGamesOwnPathComesFirstThenTheDataFolder) {
    EXPECT_EQ(cue_file_candidates(rules::Cue::door, "/usr/share/casino", '/'),
              (std::vector<std::string>{"sound/door.wav", "/usr/share/casino/sound/door.wav"}));
    EXPECT_EQ(cue_file_candidates(rules::Cue::door, "C:\\Games\\casino\\", '\\'),
              (std::vector<std::string>{"sound\\door.wav", "C:\\Games\\casino\\sound\\door.wav"}));
    // Without a data folder only the game's own path is left.
    EXPECT_EQ(cue_file_candidates(rules::Cue::siren, "", '/'),
              std::vector<std::string>{"sound/siren.wav"});
}

}  // namespace
}  // namespace casino
