// Which game names the site accepts: the launcher sends a game's folder name.
#pragma once

#include <string>
#include <string_view>

namespace ludora::site {

constexpr size_t kLongestGameName = 63; // the launcher keeps it in 64 characters

// False, with the reason in words, for a name the site will not keep.
bool check_game_name(std::string_view game, std::string& problem);

} // namespace ludora::site
