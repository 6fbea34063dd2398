// The one table of the cues' names.
#include "cue.h"

#include <array>

namespace casino::rules {
namespace {

// Indexed by Cue.
constexpr std::array<std::string_view, kCueCount> kCueNames{
    "sound\\door.wav",     "sound\\nomore.wav", "sound\\laugh3.wav",
    "sound\\applaus8.wav", "sound\\cophit.wav", "sound\\siren.wav",
};

}  // namespace

std::string_view cue_name(Cue cue) { return kCueNames[static_cast<std::size_t>(cue)]; }

}  // namespace casino::rules
