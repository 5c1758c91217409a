// A game's title screen, "title": the game's own picture with the launcher's
// buttons (play, how to play, hall of fame, players, credits, menu, exit),
// the sound and music switches and the eight players, the current one
// highlighted. While it shows, the current directory is the game's folder.
#pragma once

#include <cstdint>

#include "launcher/game_entry.h"
#include "ui/pictures/image_record.h"
#include "ui/pictures/scene.h"
#include "ui/roster/player_roster.h"
#include "ui/text/bitmap_font.h"
#include "ui/text/text_field.h"

class Button;

class TitleScene : public Scene {
public:
    TitleScene();
    ~TitleScene() override;

    void Activate(IDirectDraw* directDraw, IDirectDrawSurface* backSurface) override;
    void Destroy() override;
    int32_t Frame(int32_t active) override;

    void SetChosenGame(const GameEntry& entry);
    const GameEntry& ChosenGame() const { return chosen; }

private:
    void ReadSwitch(Button* button, const char* key, int32_t& flag);
    void ToggleSwitch(Button* button, const char* key, int32_t& flag);
    void FillPlayerFields();
    int RunPicturePage(const char* picture); // 0 when the program is to quit
    int RunHallOfFame();
    int RunPlayers();
    void ReleaseScreen();

    GameEntry chosen = {};
    BitmapFont* normalFont = nullptr;
    BitmapFont* highlightFont = nullptr;
    TextField* fields[RosterPlayers] = {};
    int32_t currentPlayer = 0;
    int32_t sfxOn = 1;
    int32_t musicOn = 1;
    int32_t lastButtons = -1;
};
