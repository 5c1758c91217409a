// The base of every screen: a name, the screen's pictures and buttons, and
// Present, which shows a frame (pointer, flip, repaint bookkeeping).
#pragma once

#include <cstdint>

#include <windows.h>
#include <ddraw.h>

#include "ui/pictures/image_record.h"
#include "ui/pictures/pointer_list.h"

class Button;
class ButtonList;

class Scene {
public:
    Scene();
    virtual ~Scene();
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;

    virtual void Create();
    virtual void Activate(IDirectDraw* directDraw, IDirectDrawSurface* backSurface);
    virtual void Destroy();
    virtual int32_t OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // One frame of the screen's own work; 7 ends the program after the credits.
    virtual int32_t Frame(int32_t active);
    virtual void SetName(const char* text);
    virtual const char* Name() const;
    virtual ImageRecord* AddImage(const char* fileName);
    virtual void ClearImages();
    virtual void RemoveImage(ImageRecord* record);
    virtual void SetRedrawBackground(IDirectDrawSurface* surface);
    virtual void SetRedrawPristine(IDirectDrawSurface* surface);
    // Answers the number of pictures the description listed (missing files included).
    virtual int LoadImageSet(const char* iniFile);
    virtual ImageRecord* FindImage(const char* imageName);
    virtual ImageRecord* AddNamedImage(const char* fileName, const char* imageName);
    virtual void RemoveImageByName(const char* imageName);
    virtual int DrawImage(IDirectDrawSurface* target, const char* imageName, int x, int y);
    virtual int DrawImageAtHome(IDirectDrawSurface* target, const char* imageName);
    virtual int Present();
    virtual void SetChild(Scene* scene);
    virtual void AddButton(Button* button);

    ButtonList* Buttons() const { return buttons; }
    PointerList<ImageRecord>* Images() const { return images; }
    Scene* Child() const { return child; }

protected:
    char name[256] = {};
    IDirectDraw* directDraw = nullptr;
    IDirectDrawSurface* backSurface = nullptr;
    ButtonList* buttons = nullptr;
    PointerList<ImageRecord>* images = nullptr;
    ImageRecord* backgroundImage = nullptr;
    ImageRecord* pristineImage = nullptr;
    Scene* child = nullptr;
};
