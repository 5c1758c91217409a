#include <cstdio>

#include "shell/core/message_pump.h"
#include "shell/core/shell_state.h"
#include "shell/core/tick_clock.h"
#include "shell/scene_manager.h"
#include "shell/start_up.h"
#include "ui/buttons/pointer.h"
#include "ui/pictures/clipped_blit.h"
#include "zq.h"

void WaitOrClick(int32_t milliseconds) {
    const int32_t start = g_TickClock.Now();
    while (g_TickClock.Since(start) < milliseconds) {
        // A close while the picture shows has shut everything down, the clock
        // included: stop waiting and leave the quit to the loop after this one.
        if (PumpMessages() || g_Pointer.Buttons() != 0) {
            break;
        }
        ZQFlip();
    }
}

void ShowPicture(const char* path) {
    IDirectDrawSurface* picture = ZQLoadBitmap(path);
    if (!picture) {
        return;
    }
    DDSURFACEDESC description{};
    description.dwSize = sizeof description;
    picture->GetSurfaceDesc(&description);
    const RECT whole{0, 0, static_cast<LONG>(description.dwWidth),
                     static_cast<LONG>(description.dwHeight)};
    if (g_ShellState.backSurface) {
        ClippedBlit(g_ShellState.backSurface, 0, 0, picture, whole, PlainBlit);
    }
    ZQFlip();
    WaitOrClick(5000);
    picture->Release();
}

void MainLoop() {
    ShellState& state = g_ShellState;
    for (;;) {
        if (PumpMessages()) {
            // The window is gone by now; the call does nothing.
            DestroyWindow(state.window);
            return;
        }
        if (state.backSurface) {
            HDC probe = nullptr;
            if (state.backSurface->GetDC(&probe) == DD_OK) {
                state.backSurface->ReleaseDC(probe);
            }
        }
        // Inactive: no frame and no waiting; the loop keeps polling the queue.
        if (!state.active) {
            ZQAcquireMouse(0);
            continue;
        }
        ZQAcquireMouse(1);
        state.lastFps = ZQGetFPS();
        if (state.showFps) {
            char text[32];
            std::snprintf(text, sizeof text, "%5.2f", static_cast<double>(state.lastFps));
            ZQPrintString(text, 580, 0);
        }
        if (g_SceneManager.RunFrame(state.active) == FrameQuit) {
            ShowPicture(".\\Title\\TovikCredit.bmp");
            DestroyWindow(state.window);
            return;
        }
    }
}
