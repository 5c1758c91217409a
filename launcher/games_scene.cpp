#include "launcher/games_scene.h"

#include <cstdio>
#include <new>

#include "launcher/site_address.h"
#include "launcher/title_scene.h"
#include "shell/core/hand_over.h"
#include "shell/core/shell_state.h"
#include "shell/scene_manager.h"
#include "ui/buttons/button_list.h"
#include "ui/buttons/button_place.h"
#include "ui/buttons/menu_screen.h"
#include "ui/buttons/pointer.h"
#include "ui/pictures/redraw_list.h"
#include "ui/text/number_sprite.h"
#include "zq.h"

namespace {

constexpr ButtonPlace PageButtons[] = {
    {"left", "PageArrowsLeft.bmp", 638, 19},
    {"right", "PageArrowsRight.bmp", 739, 19},
    {"help", "Info.bmp", 637, 89},
    {"exit", "SmallExit.bmp", 718, 89},
};

constexpr int32_t SlotColumns[] = {14, 271, 528};
constexpr int32_t SlotRows[] = {140, 247, 355, 461};

constexpr int32_t PageNumberRight = 716;
constexpr int32_t PageNumberTop = 30;

} // namespace

GamesScene::GamesScene() {
    SetName("Ludora");
}

GamesScene::~GamesScene() {
    ReleaseScreen();
}

void GamesScene::ReleaseScreen() {
    FreeGames(games);
    gameCount = 0;
    delete collect;
    collect = nullptr;
    delete pageNumbers;
    pageNumbers = nullptr;
    for (Button*& slot : slots) {
        slot = nullptr; // the button list owns them
    }
}

void GamesScene::Activate(IDirectDraw* directDrawObject, IDirectDrawSurface* back) {
    Scene::Activate(directDrawObject, back);
    ReleaseScreen();

    backgroundImage = AddImage("background.bmp");
    pristineImage = AddImage("background.bmp");
    SetRedrawBackground(backgroundImage ? backgroundImage->surface : nullptr);
    SetRedrawPristine(pristineImage ? pristineImage->surface : nullptr);
    g_RedrawList.RestoreAll();

    AddPlacedButtons(*this, PageButtons, 2);
    for (int32_t i = 0; i < GamesPerPage; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "button%d", static_cast<int>(i + 1));
        Button* slot =
            MakePlacedButton({name, "GameButton.bmp", SlotColumns[i % 3], SlotRows[i / 3]}, 3);
        if (slot) {
            slot->SetEnabled(0);
            AddButton(slot);
        }
        slots[i] = slot;
    }
    pageNumbers = new (std::nothrow) Sprite();
    if (pageNumbers) {
        pageNumbers->LoadStrip("PageNumbers.bmp", 10, 0);
    }
    page = 0;

    gameCount = DiscoverGames(games);
    PlaceCollect();
}

void GamesScene::Destroy() {
    ReleaseScreen();
    Scene::Destroy();
}

Button* GamesScene::Slot(int32_t number) const {
    return number >= 1 && number <= GamesPerPage ? slots[number - 1] : nullptr;
}

void GamesScene::PlaceCollect() {
    // The free place after the last game; a full last page gets a page of its own.
    Button* slot = Slot(gameCount % GamesPerPage + 1);
    if (!slot) {
        return;
    }
    slot->SetEnabled(1);
    if (!collect) {
        collect = new (std::nothrow) Sprite();
        if (!collect) {
            return;
        }
        collect->AddFrameFromFile("CollectButton.bmp");
    }
    collect->SetPosition(slot->x, slot->y);
}

void GamesScene::ChooseGame(const GameEntry& entry) {
    if (title) {
        title->SetChosenGame(entry);
    }
    g_SceneManager.SwitchTo("title");
}

void GamesScene::SelectByCommandLine(const char* commandLine) {
    if (!commandLine || !*commandLine) {
        return;
    }
    // Switching screens destroys this one's list: take the matches first.
    PointerList<GameEntry> matches;
    for (GameEntry* entry : games) {
        if (ProgramBeginsWith(*entry, commandLine)) {
            GameEntry* copy = new (std::nothrow) GameEntry{};
            if (copy) {
                CopyGameEntry(*copy, *entry);
                if (!matches.Add(copy)) {
                    delete copy;
                }
            }
        }
    }
    for (GameEntry* match : matches) {
        ChooseGame(*match);
    }
    FreeGames(matches);
}

int32_t GamesScene::Frame(int32_t active) {
    const PointerReading pointer = g_Pointer.Read();
    if (!buttons) {
        return Present();
    }
    buttons->UpdateAll(pointer.x, pointer.y, pointer.buttons);
    buttons->DrawAll();

    if (buttons->WasClicked("exit")) {
        return FrameQuit;
    }
    if (buttons->WasClicked("help")) {
        MenuScreen info;
        info.AddBackground("infoscreen.bmp", "info");
        const ButtonPlace back[] = {{"back", "backbutton.bmp", 689, 370}};
        AddPlacedButtons(info, back, 2);
        char result[256];
        const int finished = info.Run(result, nullptr);
        info.Destroy();
        if (!finished) {
            return FrameQuit;
        }
        g_RedrawList.RestoreAll();
    }
    if (buttons->WasClicked("left") || buttons->WasClicked("right")) {
        if (buttons->WasClicked("left")) {
            if (page > 0) {
                --page;
            }
        } else if (gameCount >= (page + 1) * GamesPerPage) {
            ++page;
        }
        PlaceCollect();
        g_RedrawList.RestoreAll();
    }
    for (int32_t number = 1; number <= GamesPerPage; ++number) {
        Button* slot = Slot(number);
        if (!slot || !slot->enabled || !slot->Clicked()) {
            continue;
        }
        const int32_t index = page * GamesPerPage + number - 1;
        if (index >= gameCount) {
            // The collect place, and slots still enabled from a fuller page.
            OpenWebPage(MakerSiteAddress);
        } else {
            ChooseGame(*games.At(index)); // this screen is gone after the switch
        }
        return 1;
    }
    return Present();
}

int GamesScene::Present() {
    IDirectDrawSurface* background = g_RedrawList.Background();
    if (pageNumbers && background) {
        DrawPageNumber(*pageNumbers, page + 1, PageNumberRight, PageNumberTop, background);
    }
    for (int32_t number = 1; number <= GamesPerPage; ++number) {
        const int32_t index = page * GamesPerPage + number - 1;
        Button* slot = Slot(number);
        if (index >= gameCount || !slot) {
            continue;
        }
        GameEntry* entry = games.At(index);
        if (entry->button && background) {
            entry->button->SetPosition(slot->x, slot->y);
            entry->button->Draw(background);
        }
        slot->SetEnabled(1);
    }
    if (collect && background && gameCount / GamesPerPage == page) {
        collect->Draw(background);
    }
    if (buttons) {
        buttons->DrawAll();
    }
    g_ShellState.lastFps = ZQGetFPS();
    return Scene::Present();
}
