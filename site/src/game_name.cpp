// Which game names the site accepts.
#include "game_name.h"

namespace ludora::site {

namespace {

bool allowed_in_game_name(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == ' ' ||
           c == '.' || c == '_' || c == '-';
}

} // namespace

bool check_game_name(std::string_view game, std::string& problem) {
    if (game.empty()) {
        problem = "The game's name is empty.";
        return false;
    }
    if (game.size() > kLongestGameName) {
        problem = "The game's name is longer than 63 bytes.";
        return false;
    }
    for (const char c : game) {
        if (!allowed_in_game_name(c)) {
            problem =
                "The game's name may hold only letters, digits, spaces, \".\", \"_\" and \"-\".";
            return false;
        }
    }
    return true;
}

} // namespace ludora::site
