// The launcher's first screen, "Ludora": the games found beside it as picture
// buttons, twelve to a page, page arrows, the information page, the exit,
// and the collect place after the last game that opens the maker's site.
#pragma once

#include <cstdint>

#include "launcher/game_entry.h"
#include "ui/buttons/button.h"
#include "ui/pictures/pointer_list.h"
#include "ui/pictures/scene.h"
#include "ui/pictures/sprite.h"

class TitleScene;

constexpr int32_t GamesPerPage = 12;

class GamesScene : public Scene {
public:
    GamesScene();
    ~GamesScene() override;

    void Activate(IDirectDraw* directDraw, IDirectDrawSurface* backSurface) override;
    void Destroy() override;
    int32_t Frame(int32_t active) override;
    int Present() override;

    // The title screen a chosen game is handed to.
    void SetTitleScene(TitleScene* scene) { title = scene; }
    // Chooses, in list order, every game whose program name begins with the
    // text, switching to the title screen for each: the last one stays.
    void SelectByCommandLine(const char* commandLine);

    int32_t GameCount() const { return gameCount; }
    int32_t Page() const { return page; }

private:
    void PlaceCollect();
    Button* Slot(int32_t number) const; // "button1".."button12"
    void ChooseGame(const GameEntry& entry);
    void ReleaseScreen();

    PointerList<GameEntry> games;
    int32_t gameCount = 0;
    int32_t page = 0;
    Sprite* collect = nullptr;
    Sprite* pageNumbers = nullptr;
    Button* slots[GamesPerPage] = {};
    TitleScene* title = nullptr;
};
