#include "ui/pictures/scene.h"

#include <cstring>
#include <new>

#include "shell/core/copy_text.h"
#include "ui/buttons/button_list.h"
#include "ui/buttons/pointer.h"
#include "ui/pictures/clipped_blit.h"
#include "ui/pictures/redraw_list.h"
#include "zq.h"

namespace {

IDirectDrawSurface* BackBuffer() {
    IDirectDrawSurface* primary = nullptr;
    IDirectDrawSurface* back = nullptr;
    ZQGetDDInfo(&primary, &back);
    return back;
}

} // namespace

Scene::Scene()
    : buttons(new (std::nothrow) ButtonList), images(new (std::nothrow) PointerList<ImageRecord>) {}

Scene::~Scene() {
    delete buttons;
    buttons = nullptr;
    if (images != nullptr) {
        for (ImageRecord* record : *images) {
            delete record;
        }
        delete images;
        images = nullptr;
    }
}

void Scene::Create() {
    if (images == nullptr) images = new (std::nothrow) PointerList<ImageRecord>;
    if (buttons == nullptr) buttons = new (std::nothrow) ButtonList;
}

void Scene::Activate(IDirectDraw* directDrawObject, IDirectDrawSurface* back) {
    directDraw = directDrawObject;
    backSurface = back;
    Create();
}

void Scene::Destroy() {
    // The list destroys its buttons.
    delete buttons;
    buttons = nullptr;
    ClearImages();
}

int32_t Scene::OnMessage(HWND, UINT, WPARAM, LPARAM) {
    return 1;
}

int32_t Scene::Frame(int32_t) {
    return 1;
}

void Scene::SetName(const char* text) {
    CopyText(name, sizeof name, text);
}

const char* Scene::Name() const {
    return name;
}

ImageRecord* Scene::AddImage(const char* fileName) {
    ImageRecord* record = new (std::nothrow) ImageRecord(fileName);
    if (record == nullptr) return nullptr;
    if (record->surface == nullptr) {
        delete record;
        return nullptr;
    }
    // A scene cleared without being created again still takes pictures.
    Create();
    if (images == nullptr || !images->Add(record)) {
        delete record;
        return nullptr;
    }
    return record;
}

void Scene::ClearImages() {
    if (images == nullptr) return;
    for (ImageRecord* record : *images) {
        delete record;
    }
    delete images;
    images = nullptr;
}

void Scene::RemoveImage(ImageRecord* record) {
    if (images != nullptr) images->Remove(record);
}

void Scene::SetRedrawBackground(IDirectDrawSurface* surface) {
    g_RedrawList.SetBackground(surface);
}

void Scene::SetRedrawPristine(IDirectDrawSurface* surface) {
    g_RedrawList.SetPristine(surface);
}

ImageRecord* Scene::FindImage(const char* imageName) {
    if (images == nullptr || imageName == nullptr) return nullptr;
    for (ImageRecord* record : *images) {
        if (std::strcmp(record->name, imageName) == 0) return record;
    }
    return nullptr;
}

ImageRecord* Scene::AddNamedImage(const char* fileName, const char* imageName) {
    ImageRecord* record = new (std::nothrow) ImageRecord(fileName);
    if (record == nullptr) return nullptr;
    record->SetName(imageName != nullptr ? imageName : fileName);
    Create();
    if (images == nullptr || !images->Add(record)) {
        delete record;
        return nullptr;
    }
    return record;
}

void Scene::RemoveImageByName(const char* imageName) {
    // Taken out of the list, not destroyed: the caller may still hold it. Kept as designed.
    RemoveImage(FindImage(imageName));
}

int Scene::DrawImage(IDirectDrawSurface* target, const char* imageName, int x, int y) {
    ImageRecord* record = FindImage(imageName);
    if (record == nullptr) return 0;
    if (record->surface != nullptr) {
        const RECT whole = {0, 0, record->width, record->height};
        ClippedBlit(target != nullptr ? target : BackBuffer(), x, y, record->surface, whole);
    }
    return 1;
}

int Scene::DrawImageAtHome(IDirectDrawSurface* target, const char* imageName) {
    ImageRecord* record = FindImage(imageName);
    if (record == nullptr) return 0;
    return DrawImage(target, imageName, record->x, record->y);
}

int Scene::Present() {
    if (child != nullptr) return child->Present();
    IDirectDrawSurface* back = BackBuffer();
    g_Pointer.DrawAndSave(back);
    const int shown = ZQFlip();
    g_Pointer.RestoreSaved(back);
    g_RedrawList.Flip();
    g_RedrawList.Apply(back);
    return shown;
}

void Scene::SetChild(Scene* scene) {
    child = scene;
}

void Scene::AddButton(Button* button) {
    if (button == nullptr) return;
    Create();
    if (buttons == nullptr) return;
    button->SetOrigin(buttons->originX, buttons->originY);
    buttons->Add(button);
}
