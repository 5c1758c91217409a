// The window procedure: every message to the current scene first, then the
// shell's own handling of activation, the mouse, Escape, F1 and the music.
#include <windows.h>
#include <mmsystem.h>

#include "shell/core/shell_state.h"
#include "shell/core/tick_clock.h"
#include "shell/music.h"
#include "shell/scene_manager.h"
#include "shell/sound_bank.h"
#include "shell/start_up.h"
#include "ui/buttons/pointer.h"
#include "zq.h"

namespace {

// Maximised, the picture sits in the middle of the screen-sized client area;
// mouse positions are taken back by the same amount.
void PlaceMaximised(LPARAM lParam) {
    ShellState& state = g_ShellState;
    const int width = LOWORD(lParam);
    const int height = HIWORD(lParam);
    int x = 0;
    int y = 0;
    if (CurrentProgram().isLauncher) {
        x = width / 2 - 399;
        y = height / 2 - 300;
    } else {
        x = width / 2 - (state.clientWidth - 2) / 2;
        y = height / 2 - state.clientHeight / 2;
    }
    ZQSetWindowXY(x, y);
    state.drawOffsetX = x;
    state.drawOffsetY = y - GetSystemMetrics(SM_CYFRAME) - GetSystemMetrics(SM_CYSMCAPTION);
}

} // namespace

void ShutDown() {
    ShellState& state = g_ShellState;
    g_TickClock.StopClock();
    g_SceneManager.DestroyAll();
    g_Pointer.Release();
    ZQAcquireMouse(0);
    ZQFreeFont();
    ZQFreeDirectInput();
    ZQFreeDirectX();
    // The display is gone: nothing may draw on what it lent out.
    state.directDraw = nullptr;
    state.primarySurface = nullptr;
    state.backSurface = nullptr;
    g_SoundBank.Shutdown();
    // The MCI alias "music" is left open for the process exit; kept as designed.
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    ShellState& state = g_ShellState;
    // The scene hears every message first; its answer is not used.
    g_SceneManager.ForwardMessage(window, message, wParam, lParam);
    switch (message) {
    case WM_DESTROY:
        ShutDown();
        state.active = 0;
        PostQuitMessage(0);
        break;
    case WM_MOVE:
        if (state.window) {
            POINT origin{0, 0};
            ClientToScreen(state.window, &origin);
            ZQSetWindowXY(origin.x, origin.y);
        }
        break;
    case WM_SIZE:
        if (wParam == SIZE_MAXIMIZED) {
            PlaceMaximised(lParam);
        } else if (wParam == SIZE_RESTORED) {
            state.drawOffsetX = 0;
            state.drawOffsetY = 0;
        }
        break;
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            PauseMusic(state.window);
            ZQAcquireMouse(0);
            state.active = 0;
        } else if (LOWORD(wParam) == WA_ACTIVE) {
            ResumeMusic(state.window);
            ZQAcquireMouse(1);
            state.active = 1;
            SetFocus(state.window);
        }
        break;
    case WM_CLOSE:
        DestroyWindow(state.window);
        break;
    case WM_ACTIVATEAPP:
        state.active = wParam ? 1 : 0;
        break;
    case WM_KEYUP:
        if (wParam == VK_ESCAPE) {
            PostMessageA(state.window, WM_CLOSE, 0, 0);
        } else if (wParam == VK_F1) {
            state.showFps = !state.showFps;
        }
        break;
    case WM_SYSCOMMAND:
        // Alt alone opens no system menu.
        if ((wParam & 0xFFF0) == SC_KEYMENU) {
            return 0;
        }
        break;
    case WM_MOUSEMOVE:
        if (state.active) {
            g_Pointer.SetPosition(LOWORD(lParam) - state.drawOffsetX,
                                  HIWORD(lParam) - state.drawOffsetY);
        }
        break;
    case WM_LBUTTONDOWN:
        g_Pointer.SetLeft(1);
        break;
    case WM_LBUTTONUP:
        g_Pointer.SetLeft(0);
        break;
    case WM_RBUTTONDOWN:
        g_Pointer.SetRight(1);
        break;
    case WM_RBUTTONUP:
        g_Pointer.SetRight(0);
        break;
    case MM_MCINOTIFY:
        RestartMusic(state.window);
        break;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
