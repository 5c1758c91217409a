// Lines of the layer's input scripts (LUDORA_SCRIPT), and the screen places
// of the programs a script clicks.
#pragma once

#include <filesystem>
#include <string>

namespace testkit {

struct Point {
    int x, y;
};

// A click, then a wait (the layer's milliseconds).
std::string Click(int x, int y, int waitMilliseconds = 250);
std::string Click(Point place, int waitMilliseconds = 250);
std::string Wait(int milliseconds);
std::string Shot(const std::filesystem::path& path);

// The launcher's shelf: slots 1..12, three a row, and the page arrows.
Point SlotCentre(int slot);
constexpr Point RightArrow{765, 40};
constexpr Point LeftArrow{664, 40};

// A game's title page in the launcher.
constexpr Point PlayButton{705, 322};
constexpr Point MenuButton{705, 392};
constexpr Point HighScoresButton{120, 392};
constexpr Point PlayersButton{400, 340};
constexpr Point SfxSwitch{76, 528};
constexpr Point MusicSwitch{130, 528};
// Centre of the title page's field of player 0..7.
Point PlayerField(int slot);

// The hall of fame's and the players screen's buttons (their background at 53, 18).
constexpr Point UploadButton{53 + 552 + 60, 18 + 88 + 20};
constexpr Point ClearButton{53 + 552 + 60, 18 + 149 + 20};
constexpr Point HallBackButton{53 + 595 + 40, 18 + 220 + 14};
constexpr Point EnterButton{53 + 474 + 50, 18 + 471 + 20};
constexpr Point RemoveButton{53 + 360 + 50, 18 + 471 + 20};
constexpr Point PlayersBackButton{53 + 608 + 40, 18 + 489 + 14};
constexpr Point YesNoSwitch{53 + 37 + 40, 18 + 486 + 18};

} // namespace testkit
