// Where a game's title page stands its buttons and player fields: the title
// scene is built from here, and the tests that play it click here.
#pragma once

#include <cstdint>

#include "ui/buttons/button_place.h"
#include "ui/roster/player_roster.h"

namespace title_page {

inline constexpr ButtonPlace TitleButtons[] = {
    {"HowToPlay", "..\\HowToPlayButton.bmp", 52, 296},
    {"Play", "..\\PlayButton.bmp", 636, 296},
    {"HighScores", "..\\HighScoresButton.bmp", 52, 365},
    {"Menu", "..\\MenuButton.bmp", 636, 365},
    {"Credits", "..\\CreditsButton.bmp", 52, 435},
    {"Exit", "..\\ExitButton.bmp", 636, 435},
    {"Players", "..\\PlayersButton.bmp", 280, 318},
    {"SFX", "..\\sfx.bmp", 52, 505},
    {"Music", "..\\music.bmp", 106, 505},
};

struct FieldPlace {
    int32_t x, y;
};

// The first field stands one pixel right of the others of its column; kept as designed.
inline constexpr FieldPlace PlayerFields[RosterPlayers] = {
    {239, 378}, {408, 378}, {238, 420}, {408, 420}, {238, 464}, {408, 464}, {238, 510}, {408, 510},
};

inline constexpr int32_t FieldWidth = 150;
inline constexpr int32_t FieldHeight = 30;

} // namespace title_page
