// The "treasure" screen: loads its pictures, buttons and sounds when it
// becomes current and hands every frame to the game controller.
#include "game/treasure_screen.h"

#include <cstdio>
#include <new>

#include "game/sprite_list.h"
#include "shell/scene_manager.h"
#include "shell/sound_bank.h"
#include "ui/buttons/button.h"
#include "ui/buttons/button_place.h"
#include "ui/buttons/pointer.h"
#include "ui/pictures/redraw_list.h"

namespace {

constexpr ButtonPlace ScreenButtons[] = {
    {"help", "help.bmp", 649, 485},
    {"newgame", "newgame.bmp", 720, 485},
    {"menu", "menu.bmp", 649, 531},
    {"exit", "exit.bmp", 720, 531},
};

struct SoundFile {
    const char* name;
    const char* file;
};

// "2treasure" to "4treasure" are loaded and never played; kept as designed.
constexpr SoundFile ScreenSounds[] = {
    {"search", "sounds\\search01.wav"},  {"1treasure", "sounds\\02.wav"},
    {"2treasure", "sounds\\03.wav"},     {"3treasure", "sounds\\04.wav"},
    {"4treasure", "sounds\\05.wav"},     {"5treasure", "sounds\\06.wav"},
    {"advance", "sounds\\09.wav"},       {"negative", "sounds\\11.wav"},
    {"gameover", "sounds\\13.wav"},      {"win", "sounds\\12.wav"},
    {"newgame", "sounds\\endlevel.wav"},
};

constexpr int32_t TurnBonusX = 662;
constexpr int32_t TurnBonusY = 139;
constexpr int32_t TurnBonusBlinkMilliseconds = 333;

} // namespace

TreasureScreen::TreasureScreen() {
    SetName("treasure");
    game.SetScreen(this);
}

// The shut-down has destroyed the screen already; at the program's exit the
// running copies may be gone before the screen, so they are not touched here.
TreasureScreen::~TreasureScreen() {
    DeleteSprites();
}

void TreasureScreen::Activate(IDirectDraw* directDrawObject, IDirectDrawSurface* back) {
    Scene::Activate(directDrawObject, back);
    // Every button change waits for a frame, so a press and its release taken
    // in one pass of the message pump still read as a click.
    g_Pointer.SetButtonQueue(1);

    background = AddImage("background.bmp");
    if (background) {
        SetRedrawBackground(background->surface);
    }
    pristine = AddImage("background.bmp");
    if (pristine) {
        SetRedrawPristine(pristine->surface);
    }
    g_RedrawList.RestoreAll();

    AddPlacedButtons(*this, ScreenButtons, 3); // normal, hover and pressed

    DestroySprites();
    waterSprite = new (std::nothrow) Sprite;
    if (waterSprite) {
        waterSprite->LoadStrip("tileset.bmp", 11, 0);
        waterSprite->DivideWidthByFrames();
    }
    islandSprite = new (std::nothrow) Sprite;
    if (islandSprite) {
        islandSprite->LoadGrid("islands.bmp", 14, 17);
    }
    game.board.SetSprites(waterSprite, islandSprite);

    char fileName[64];
    for (int n = 1; n <= 9; ++n) {
        std::snprintf(fileName, sizeof fileName, "round%dsmall.bmp", n);
        AddImage(fileName);
    }
    for (int n = 1; n <= 5; ++n) {
        std::snprintf(fileName, sizeof fileName, "g%d.bmp", n);
        AddImage(fileName);
    }

    for (int i = 0; i < TurnBonusPictures; ++i) {
        Sprite* sprite = new (std::nothrow) Sprite;
        bonusSprites[i] = sprite;
        if (!sprite) {
            continue;
        }
        std::snprintf(fileName, sizeof fileName, "turnbonus%d.bmp", 3 * (i + 1));
        sprite->SetName(fileName);
        sprite->LoadStrip(fileName, 2, 0);
        sprite->x = TurnBonusX;
        sprite->y = TurnBonusY;
        sprite->SetInterval(TurnBonusBlinkMilliseconds);
        sprite->SetEndMode(SpriteLoop);
        sprite->SetPlaying(1);
        g_SpriteList.AddCopy(*sprite);
    }

    numbers = new (std::nothrow) NumberSprite;
    if (numbers) {
        numbers->LoadStrip("NumberFont.bmp", 10, 0);
        numbers->DivideWidthByFrames();
    }

    for (const SoundFile& sound : ScreenSounds) {
        g_SoundBank.Load(sound.file, sound.name);
    }

    game.Reset();
}

void TreasureScreen::Destroy() {
    g_SoundBank.FreeAll();
    Scene::Destroy();
    background = nullptr;
    pristine = nullptr;
    game.Release();
    DestroySprites();
}

void TreasureScreen::DestroySprites() {
    // The running copies borrow the bonus pictures' frames: they go first.
    g_SpriteList.Clear();
    DeleteSprites();
}

void TreasureScreen::DeleteSprites() {
    for (Sprite*& sprite : bonusSprites) {
        delete sprite;
        sprite = nullptr;
    }
    game.board.SetSprites(nullptr, nullptr);
    game.board.tileSprite = nullptr;
    delete waterSprite;
    waterSprite = nullptr;
    delete islandSprite;
    islandSprite = nullptr;
    delete numbers;
    numbers = nullptr;
}

int32_t TreasureScreen::OnMessage(HWND, UINT, WPARAM, LPARAM) {
    return 1;
}

int32_t TreasureScreen::Frame(int32_t) {
    if (game.Frame() == FrameQuit) {
        return FrameQuit;
    }
    Present();
    return 1;
}

IDirectDrawSurface* TreasureScreen::LiveBackground() const {
    return background ? background->surface : nullptr;
}
