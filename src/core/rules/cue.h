// The game's sound cues, and the name the game gives each.
#pragma once

#include <cstdint>
#include <string_view>

namespace casino::rules {

enum class Cue : std::uint8_t {
    door,      // entering the casino
    nomore,    // no more bets: every bet that is played out
    laugh,     // nothing left to pawn
    applause,  // the casino's prize
    cophit,    // a theft
    siren,     // the indecency fine
};
inline constexpr int kCueCount = 6;

// The cue's file as the game names it, relative to the current directory and with the
// game's own separator: "sound\door.wav". A front end finds the file from it.
std::string_view cue_name(Cue cue);

}  // namespace casino::rules
