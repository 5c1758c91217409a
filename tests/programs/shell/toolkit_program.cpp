// A small program on the shell and the toolkit, run by the shell's tests the
// way a player meets a program: a scene with a background, a sprite, two
// buttons, a text field and a modal picture screen. It writes what the tests
// need to see from inside to the file named by LUDORA_TEST_TRACE.
//
// Its folder holds the pictures the tests drew for it (background.bmp,
// sprite.bmp, button.bmp, menu.bmp, menubutton.bmp, pointer.bmp, font_n.bmp,
// font_h.bmp, blockcursor.bmp). Built twice: on the game's shell and, with
// TOOLKIT_AS_LAUNCHER, on the launcher's.
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <windows.h>
#include <mmsystem.h>

#include "shell/core/shell_state.h"
#include "shell/core/tick_clock.h"
#include "shell/scene_manager.h"
#include "shell/sound_bank.h"
#include "shell/start_up.h"
#include "ui/buttons/button.h"
#include "ui/buttons/button_list.h"
#include "ui/buttons/menu_screen.h"
#include "ui/buttons/pointer.h"
#include "ui/pictures/colour_key.h"
#include "ui/pictures/sprite.h"
#include "ui/text/bitmap_font.h"
#include "ui/text/text_field.h"

namespace {

void Trace(const char* format, ...) {
    const char* path = std::getenv("LUDORA_TEST_TRACE");
    if (!path || !*path) {
        return;
    }
    std::FILE* file = std::fopen(path, "a");
    if (!file) {
        return;
    }
    va_list arguments;
    va_start(arguments, format);
    std::vfprintf(file, format, arguments);
    va_end(arguments);
    std::fputc('\n', file);
    std::fclose(file);
}

bool Wanted(const char* variable) {
    const char* value = std::getenv(variable);
    return value && std::strcmp(value, "1") == 0;
}

const char* MusicMode() {
    static char mode[64];
    if (mciSendStringA("status music mode", mode, sizeof mode, nullptr) != 0) {
        std::strcpy(mode, "none");
    }
    return mode;
}

HRESULT WINAPI NoDirectX(GUID FAR*, LPDIRECTDRAW FAR* out, IUnknown FAR*) {
    if (out) {
        *out = nullptr;
    }
    return DDERR_NODIRECTDRAWSUPPORT;
}

// The area where the frame rate is printed, read before the scene draws:
// anything there that is not the background was printed since the last frame.
bool FrameRateAreaTouched(IDirectDrawSurface* back, DWORD backgroundPixel) {
    for (int y = 0; y < 14; ++y) {
        for (int x = 580; x < 640; ++x) {
            if (ReadPixel(back, x, y) != backgroundPixel) {
                return true;
            }
        }
    }
    return false;
}

class PopUp : public MenuScreen {};

class ToolkitScene : public Scene {
public:
    ToolkitScene() { SetName("toolkit"); }

    // Pictures are loaded when the scene becomes current.
    void Load() {
        AddNamedImage("background.bmp", "background");
        sprite = new Sprite();
        sprite->AddFrameFromFile("sprite.bmp");
        sprite->SetPosition(100, 100);
        sprite->SetMarkAfterDraw(0);

        Button* menuButton = new Button(120, 110);
        menuButton->LoadFrames("button.bmp", 3, 0);
        menuButton->SetName("menu");
        AddButton(menuButton);
        Button* quitButton = new Button(300, 100);
        quitButton->LoadFrames("button.bmp", 3, 0);
        quitButton->SetName("quit");
        AddButton(quitButton);

        normalFont = new BitmapFont();
        highlightFont = new BitmapFont();
        normalFont->Load("font_n.bmp");
        highlightFont->Load("font_h.bmp");
        field = new TextField();
        field->SetCapacity(64);
        field->AttachFont(normalFont);
        field->AttachFont(highlightFont);
        field->SetCursor("blockcursor.bmp");
        field->SetOrigin(0, 0);
        field->SetRect(100, 300, 200, 10);
        field->SetText("A");

        popUp = new PopUp();
        popUp->AddBackground("menu.bmp", "menu");
        Button* okButton = new Button(20, 40);
        okButton->LoadFrames("menubutton.bmp", 1, 0);
        okButton->SetName("ok");
        popUp->AddButton(okButton);

        if (Wanted("LUDORA_TEST_POINTER")) {
            g_Pointer.SetImage("pointer.bmp");
            g_Pointer.SelectImage(0);
            g_Pointer.visible = 1;
        }
    }

    void Activate(IDirectDraw* directDrawObject, IDirectDrawSurface* back) override {
        ++activations;
        Trace("activate %d", activations);
        Scene::Activate(directDrawObject, back);
        Load();
    }

    void Destroy() override {
        Trace("destroy");
        delete popUp;
        popUp = nullptr;
        delete field;
        field = nullptr;
        delete normalFont;
        delete highlightFont;
        normalFont = highlightFont = nullptr;
        delete sprite;
        sprite = nullptr;
        Scene::Destroy();
    }

    int32_t OnMessage(HWND, UINT message, WPARAM wParam, LPARAM) override {
        switch (message) {
        case WM_KEYUP:
            if (wParam == VK_ESCAPE) {
                Trace("escape at %lu", static_cast<unsigned long>(GetTickCount()));
            }
            break;
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) == SC_KEYMENU) {
                Trace("keymenu");
            }
            break;
        case MM_MCINOTIFY:
            Trace("music ended");
            afterNotify = true;
            break;
        case WM_KILLFOCUS:
            Trace("focus lost active=%d music=%s", g_ShellState.active, MusicMode());
            break;
        case WM_SETFOCUS:
            Trace("focus back active=%d music=%s", g_ShellState.active, MusicMode());
            break;
        default:
            break;
        }
        return 1;
    }

    int32_t Frame(int32_t active) override {
        IDirectDrawSurface* back = g_ShellState.backSurface;
        const PointerReading pointer = g_Pointer.Read();
        ImageRecord* background = FindImage("background");
        if (frames == 0) {
            Trace("first frame clock=%d", g_TickClock.Now());
        }
        ++frames;
        // From the second frame on, the area holds what this scene drew last.
        if (frames > 1 && back && background && background->surface) {
            const bool touched = FrameRateAreaTouched(back, ReadPixel(background->surface, 600, 5));
            if (touched != frameRateSeen) {
                frameRateSeen = touched;
                Trace("frame rate %s showFps=%d", touched ? "printed" : "gone",
                      g_ShellState.showFps ? 1 : 0);
            }
        }
        if (afterNotify) {
            afterNotify = false;
            Trace("music after restart=%s", MusicMode());
        }

        DrawImage(back, "background", 0, 0);
        if (sprite) {
            sprite->DrawOnBackBuffer();
        }
        const bool newPress = pointer.buttons != lastButtons && (pointer.buttons & 1);
        lastButtons = pointer.buttons;
        if (field) {
            if (newPress) {
                field->OnClick(pointer.x, pointer.y);
            }
            field->ProcessKeys();
            field->Draw(back);
        }
        Buttons()->UpdateAll(pointer.x, pointer.y, pointer.buttons);
        Buttons()->DrawAll();
        if (Buttons()->WasClicked("menu") && popUp) {
            Trace("menu opened");
            char result[256] = {};
            const int ran = popUp->Run(result, nullptr);
            Trace("menu closed %d \"%s\"", ran, result);
            if (!ran) {
                return 0; // told to quit: the scene has been destroyed meanwhile
            }
        }
        if (Buttons()->WasClicked("quit")) {
            Trace("quit at %lu", static_cast<unsigned long>(GetTickCount()));
            Present();
            return FrameQuit;
        }
        if (field && std::strcmp(field->Text(), lastText) != 0) {
            std::snprintf(lastText, sizeof lastText, "%s", field->Text());
            Trace("field \"%s\" selected=%d focused=%d", lastText, field->selected, field->focused);
        }
        Present();
        return active;
    }

private:
    Sprite* sprite = nullptr;
    BitmapFont* normalFont = nullptr;
    BitmapFont* highlightFont = nullptr;
    TextField* field = nullptr;
    PopUp* popUp = nullptr;
    int activations = 0;
    int frames = 0;
    int32_t lastButtons = 0;
    bool frameRateSeen = false;
    bool afterNotify = false;
    char lastText[256] = "A";
};

ToolkitScene toolkitScene;

void TraceStart() {
    const ShellState& state = g_ShellState;
    RECT outer{};
    GetWindowRect(state.window, &outer);
    int32_t displayWidth = 0;
    int32_t displayHeight = 0;
    SurfaceSize(state.backSurface, &displayWidth, &displayHeight);
    const _SNDStream* stream = ZQSound::GetStreamInfoPtr();
    char caption[256] = {};
    GetWindowTextA(state.window, caption, sizeof caption);
    Trace("started clock=%d", g_TickClock.Now());
    Trace(
        "style=%08lx exstyle=%08lx",
        static_cast<unsigned long>(static_cast<uint32_t>(GetWindowLongA(state.window, GWL_STYLE))),
        static_cast<unsigned long>(
            static_cast<uint32_t>(GetWindowLongA(state.window, GWL_EXSTYLE))));
    Trace("place=%d,%d size=%d,%d outer=%ld,%ld,%ld,%ld client=%d,%d", state.windowX, state.windowY,
          state.windowWidth, state.windowHeight, static_cast<long>(outer.left),
          static_cast<long>(outer.top), static_cast<long>(outer.right),
          static_cast<long>(outer.bottom), state.clientWidth, state.clientHeight);
    Trace("fullscreen=%d display=%d,%d", state.fullScreen ? 1 : 0, displayWidth, displayHeight);
    Trace("music=%d sfx=%d mp3=%s stream=%d", g_Sound.m_bMusic.load(), g_Sound.m_bSFX.load(),
          MusicMode(), (stream->dwFlags.load() & STREAM_LOADED) ? 1 : 0);
    Trace("caption=%s pointer=%d,%d messagesOnly=%d visible=%d", caption, g_Pointer.X(),
          g_Pointer.Y(), g_Pointer.messagesOnly.load(), g_Pointer.visible);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCommand) {
    if (Wanted("LUDORA_TEST_NO_DIRECTX")) {
        SetDirectDrawProbe(NoDirectX);
    }
    Trace("begin");
#ifdef TOOLKIT_AS_LAUNCHER
    SetWindowTitle("TovikGames Ludora");
    const bool started = StartUp(LudoraProgram, instance, previous, commandLine, showCommand);
#else
    SetProgramName("Pearlwreck");
    SetLauncherFolder(commandLine);
    SetWindowTitle("Pearl Wreck");
    const bool started = StartUp(PearlwreckProgram, instance, previous, commandLine, showCommand);
#endif
    if (!started) {
        Trace("start-up refused");
        return 0;
    }
    TraceStart();
    g_SceneManager.SetContext(g_ShellState.directDraw, g_ShellState.backSurface);
    g_SceneManager.AddScene(&toolkitScene);
    g_SceneManager.SwitchTo("toolkit");
    if (Wanted("LUDORA_TEST_RELOAD")) {
        g_SceneManager.SwitchTo("toolkit");
    }
    Trace("main loop");
    MainLoop();
    Trace("end at %lu", static_cast<unsigned long>(GetTickCount()));
    return 0;
}
