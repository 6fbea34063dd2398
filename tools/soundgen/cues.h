// The game's six sound cues, synthesised from scratch.
#pragma once

#include <string_view>
#include <vector>

namespace soundgen {

struct Cue {
    std::string_view file;  // name inside the sound folder
    std::vector<float> (*make)();
};

std::vector<float> door();      // three knocks on wood, then a creaking hinge
std::vector<float> nomore();    // a falling three-note chime: no more bets
std::vector<float> laugh();     // a laughing "ha-ha-ha" warble
std::vector<float> applause();  // a crowd clapping
std::vector<float> cophit();    // a heavy thud
std::vector<float> siren();     // a police siren sweeping up and down

inline constexpr Cue kCues[] = {
    {"door.wav", door},         {"nomore.wav", nomore}, {"laugh3.wav", laugh},
    {"applaus8.wav", applause}, {"cophit.wav", cophit}, {"siren.wav", siren},
};

}  // namespace soundgen
