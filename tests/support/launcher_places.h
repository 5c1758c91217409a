// The launcher's screen places a script clicks. The title page's come from
// the launcher's own table (launcher/title_places.h); the shelf's and the
// pop-ups' are measured on its screens. Link ludora_testkit_screens.
#pragma once

#include <string_view>

#include "launcher/title_places.h"
#include "tests/support/input_script.h"

namespace testkit {

// A look of a title page button's picture: 140 x 56, the Players button's
// 240 x 48, the sound and music switches' 48 x 48.
constexpr Point TitleButtonSize(std::string_view name) {
    if (name == "Players") return {240, 48};
    if (name == "SFX" || name == "Music") return {48, 48};
    return {140, 56};
}

// The title page's button of that name (the first when there is none).
constexpr const ButtonPlace& TitlePlace(std::string_view name) {
    for (const ButtonPlace& place : title_page::TitleButtons)
        if (name == place.name) return place;
    return title_page::TitleButtons[0];
}

constexpr Point TitleButton(std::string_view name) {
    return {TitlePlace(name).x + TitleButtonSize(name).x / 2,
            TitlePlace(name).y + TitleButtonSize(name).y / 2};
}

inline constexpr Point PlayButton = TitleButton("Play");
inline constexpr Point MenuButton = TitleButton("Menu");
inline constexpr Point HighScoresButton = TitleButton("HighScores");
inline constexpr Point PlayersButton = TitleButton("Players");
inline constexpr Point SfxSwitch = TitleButton("SFX");
inline constexpr Point MusicSwitch = TitleButton("Music");

// Player 0..7's field on the title page, 60 pixels in, where a name's letters stand.
constexpr Point PlayerField(int slot) {
    return {title_page::PlayerFields[slot].x + 60,
            title_page::PlayerFields[slot].y + title_page::FieldHeight / 2};
}

// The shelf: slots 1..12, three a row, and the page arrows.
constexpr Point SlotCentre(int slot) {
    constexpr int xs[3] = {14, 271, 528};
    constexpr int ys[4] = {140, 247, 355, 461};
    return {xs[(slot - 1) % 3] + 125, ys[(slot - 1) / 3] + 50};
}
inline constexpr Point RightArrow{765, 40};
inline constexpr Point LeftArrow{664, 40};

// The hall of fame's and the players screen's buttons (their background at 53, 18).
inline constexpr Point UploadButton{53 + 552 + 60, 18 + 88 + 20};
inline constexpr Point ClearButton{53 + 552 + 60, 18 + 149 + 20};
inline constexpr Point HallBackButton{53 + 595 + 40, 18 + 220 + 14};
inline constexpr Point EnterButton{53 + 474 + 50, 18 + 471 + 20};
inline constexpr Point RemoveButton{53 + 360 + 50, 18 + 471 + 20};
inline constexpr Point PlayersBackButton{53 + 608 + 40, 18 + 489 + 14};
inline constexpr Point YesNoSwitch{53 + 37 + 40, 18 + 486 + 18};

} // namespace testkit
