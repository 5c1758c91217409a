// The game's one screen, "treasure": the sea chart with its status panel, the
// four buttons, the pictures and the sounds, around the game controller.
#pragma once

#include <cstdint>

#include "game/treasure_game.h"
#include "ui/pictures/image_record.h"
#include "ui/pictures/scene.h"
#include "ui/pictures/sprite.h"
#include "ui/text/number_sprite.h"

constexpr int32_t TurnBonusPictures = 5;

class TreasureScreen : public Scene {
public:
    TreasureScreen();
    ~TreasureScreen() override;

    void Activate(IDirectDraw* directDraw, IDirectDrawSurface* backSurface) override;
    void Destroy() override;
    int32_t OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    int32_t Frame(int32_t active) override;

    IDirectDrawSurface* LiveBackground() const;

    // Fields in order.
    ImageRecord* background = nullptr;
    ImageRecord* pristine = nullptr;
    Sprite* waterSprite = nullptr;
    Sprite* islandSprite = nullptr;
    Sprite* bonusSprites[TurnBonusPictures] = {};
    NumberSprite* numbers = nullptr;

    TreasureGame game;

private:
    void DestroySprites();
    void DeleteSprites();
};
