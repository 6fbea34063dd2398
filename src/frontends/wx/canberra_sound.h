// The sound system of a Linux desktop, through libcanberra.
#pragma once

#include <string>

#include "cue_player.h"

namespace casino::wx {

// Opens libcanberra for the cue player, on its sound thread. driver: a libcanberra driver
// name, or empty for its own choice. The opener gives nullptr when libcanberra cannot be
// loaded or has no such driver.
SoundSystem::Opener canberra(std::string driver = {});

}  // namespace casino::wx
