// The game's sound effects and the two music loops.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "audio.h"

namespace content {

// File name (relative to the game folder) and sound, for every effect the game loads.
std::vector<std::pair<std::string, Sound>> make_sound_effects();

// Stereo loops of more than 30 seconds whose end runs seamlessly into their start.
Sound make_sea_shanty();
Sound make_shelf_tune();

} // namespace content
