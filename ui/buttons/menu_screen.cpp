#include "ui/buttons/menu_screen.h"

#include <cstdio>
#include <cstring>

#include "shell/core/message_pump.h"
#include "shell/core/tick_clock.h"
#include "ui/buttons/button.h"
#include "ui/buttons/button_list.h"
#include "ui/buttons/pointer.h"
#include "ui/pictures/back_buffer.h"
#include "ui/pictures/clipped_blit.h"
#include "ui/pictures/colour_key.h"
#include "ui/pictures/redraw_list.h"

MenuScreen::MenuScreen() {
    backgrounds = new (std::nothrow) PointerList<ImageRecord>;
}

MenuScreen::~MenuScreen() {
    DestroyBackgrounds();
}

void MenuScreen::DestroyBackgrounds() {
    if (backgrounds) {
        for (ImageRecord* record : *backgrounds) {
            delete record;
        }
        delete backgrounds;
        backgrounds = nullptr;
    }
    background = nullptr;
}

void MenuScreen::Create() {
    Scene::Create();
    if (!backgrounds) {
        backgrounds = new (std::nothrow) PointerList<ImageRecord>;
    }
}

void MenuScreen::Destroy() {
    Scene::Destroy();
    DestroyBackgrounds();
}

void MenuScreen::PlaceBackground(int32_t x, int32_t y) {
    if (x != -1 || y != -1) {
        backgroundX = x;
        backgroundY = y;
    } else if (backgroundX == -1 && backgroundY == -1) {
        // Centred once; a screen that changes to a picture of another size keeps
        // the first place (kept on purpose: the pop-ups of a screen share a size).
        int32_t screenWidth = 0, screenHeight = 0;
        SurfaceSize(BackBuffer(), &screenWidth, &screenHeight);
        const int32_t pictureWidth = background ? background->width : 0;
        const int32_t pictureHeight = background ? background->height : 0;
        backgroundX = screenWidth / 2 - pictureWidth / 2;
        backgroundY = screenHeight / 2 - pictureHeight / 2;
    }
    originX = backgroundX;
    originY = backgroundY;
    if (buttons) {
        buttons->SetOrigin(backgroundX, backgroundY);
    }
}

void MenuScreen::Fire(const char* buttonName) {
    std::snprintf(name, sizeof name, "%s", buttonName ? buttonName : "");
    done = 1;
}

int MenuScreen::Run(char* result, const char* backgroundName) {
    done = 0;
    if (backgroundName) {
        SelectBackground(backgroundName);
    } else if (backgrounds && backgrounds->Count() > 0) {
        UseBackground(backgrounds->At(0));
    }
    IDirectDrawSurface* remembered = g_RedrawList.Background();
    const int32_t tookRedraw = takesRedraw == 1;
    if (tookRedraw) {
        g_RedrawList.SetBackground(background ? background->surface : nullptr);
    }
    name[0] = '\0';
    while (!done) {
        const PointerReading pointer = g_Pointer.Read();
        if (PumpMessages() || !RunFrame(pointer)) {
            if (tookRedraw) {
                g_RedrawList.SetBackground(remembered);
            }
            return 0;
        }
    }
    if (tookRedraw) {
        g_RedrawList.SetBackground(remembered);
    }
    if (result) {
        std::snprintf(result, sizeof name, "%s", name);
    }
    return 1;
}

int MenuScreen::RunFrame(const PointerReading& pointer) {
    IDirectDrawSurface* back = BackBuffer();
    if (background && background->surface && back) {
        RECT whole = {0, 0, background->width, background->height};
        ClippedBlit(back, backgroundX, backgroundY, background->surface, whole);
    }
    if (buttons) {
        buttons->UpdateAll(pointer.x, pointer.y, pointer.buttons);
        buttons->DrawAll();
    }
    if (!Poll(pointer.x, pointer.y, pointer.buttons)) {
        return 0;
    }
    if (!done && pollChild && child && child->Buttons()) {
        ButtonList* childButtons = child->Buttons();
        childButtons->UpdateAll(pointer.x, pointer.y, pointer.buttons);
        childButtons->DrawAll();
        if (Button* clicked = childButtons->FindClicked()) {
            Fire(clicked->name);
        }
    }
    Present();
    return 1;
}

int MenuScreen::Poll(int32_t pointerX, int32_t pointerY, int32_t pointerButtons) {
    return CheckInputs();
}

int MenuScreen::CheckInputs() {
    if (hotKey != 0 && (GetAsyncKeyState(hotKey) & 0x8000)) {
        Fire("key");
    }
    if (buttons) {
        if (Button* clicked = buttons->FindClicked()) {
            Fire(clicked->name);
        }
    }
    if (deadline != 0 && g_TickClock.Since(deadline) >= 0) {
        done = 1;
    }
    return 1;
}

void MenuScreen::UseBackground(ImageRecord* record) {
    background = record;
    PlaceBackground(-1, -1);
}

void MenuScreen::SelectBackground(const char* backgroundName) {
    ImageRecord* record = FindBackground(backgroundName);
    if (!record && backgrounds) {
        record = backgrounds->At(0);
    }
    UseBackground(record);
}

ImageRecord* MenuScreen::CurrentBackground() const {
    return background;
}

ImageRecord* MenuScreen::FindBackground(const char* backgroundName) const {
    if (!backgrounds || !backgroundName) {
        return nullptr;
    }
    for (ImageRecord* record : *backgrounds) {
        if (std::strcmp(record->name, backgroundName) == 0) {
            return record;
        }
    }
    return nullptr;
}

ImageRecord* MenuScreen::AddBackground(const char* fileName, const char* backgroundName) {
    if (!backgrounds) {
        Create();
    }
    ImageRecord* record = new (std::nothrow) ImageRecord(fileName ? fileName : "");
    if (!record) {
        return nullptr;
    }
    record->SetName(backgroundName ? backgroundName : "");
    if (!backgrounds || !backgrounds->Add(record)) {
        delete record;
        return nullptr;
    }
    UseBackground(record);
    return record;
}

void MenuScreen::SetTakesRedraw(int32_t flag) {
    takesRedraw = flag;
}

Button* MenuScreen::AddFullScreenButton() {
    const int32_t pictureWidth = background ? background->width : 0;
    const int32_t pictureHeight = background ? background->height : 0;
    Button* button = new (std::nothrow) Button(0, 0, pictureWidth, pictureHeight);
    if (!button) {
        return nullptr;
    }
    button->SetName("default");
    AddButton(button);
    return button;
}

void MenuScreen::SetDeadline(int32_t clockTime) {
    deadline = clockTime;
}

void MenuScreen::SetHotKey(int32_t virtualKey) {
    hotKey = virtualKey;
}

void MenuScreen::SetPollChild(int32_t flag) {
    pollChild = flag;
}
