// The program's scenes, the current one, and the way the main loop and the
// window procedure reach it.
#pragma once

#include <cstdint>

#include <windows.h>
#include <ddraw.h>

#include "ui/pictures/pointer_list.h"
#include "ui/pictures/scene.h"

// The frame result that ends a program after its credit picture.
constexpr int32_t FrameQuit = 7;

class SceneManager {
public:
    virtual ~SceneManager() = default;

    virtual void SetContext(IDirectDraw* directDraw, IDirectDrawSurface* backSurface);
    virtual int32_t AddScene(Scene* scene);
    virtual Scene* SwitchTo(const char* sceneName);
    virtual int32_t ForwardMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    virtual int32_t RunFrame(int32_t active);
    virtual void DestroyAll();
    Scene* Current() const { return current; }
    // Forgets every scene (tests and shut-down of a test program).
    void Reset();

private:
    PointerList<Scene> scenes;
    Scene* current = nullptr;
    IDirectDraw* directDraw = nullptr;
    IDirectDrawSurface* backSurface = nullptr;
};

extern SceneManager g_SceneManager;
