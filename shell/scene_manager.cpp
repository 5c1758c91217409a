#include "shell/scene_manager.h"

#include <cstring>

SceneManager g_SceneManager;

void SceneManager::SetContext(IDirectDraw* directDrawObject, IDirectDrawSurface* backBuffer) {
    directDraw = directDrawObject;
    backSurface = backBuffer;
}

int32_t SceneManager::AddScene(Scene* scene) {
    scenes.Add(scene);
    return scenes.Count();
}

Scene* SceneManager::SwitchTo(const char* sceneName) {
    if (!sceneName) {
        return current;
    }
    Scene* target = nullptr;
    for (Scene* scene : scenes) {
        const char* name = scene ? scene->Name() : nullptr;
        if (name && std::strcmp(name, sceneName) == 0) {
            target = scene;
            break;
        }
    }
    if (!target) {
        return current;
    }
    // Switching to the current scene reloads it; kept as designed.
    if (current) {
        current->Destroy();
    }
    current = target;
    current->Activate(directDraw, backSurface);
    return current;
}

int32_t SceneManager::ForwardMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return current ? current->OnMessage(window, message, wParam, lParam) : 1;
}

int32_t SceneManager::RunFrame(int32_t active) {
    return current ? current->Frame(active) : 0;
}

void SceneManager::DestroyAll() {
    for (Scene* scene : scenes) {
        if (scene) {
            scene->Destroy();
        }
    }
}

void SceneManager::Reset() {
    scenes.Clear();
    current = nullptr;
    directDraw = nullptr;
    backSurface = nullptr;
}
