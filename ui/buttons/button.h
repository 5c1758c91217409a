// A clickable picture with normal, hover and pressed looks, hit-tested by
// rectangle or by the opaque pixels of its first frame.
#pragma once

#include <cstdint>

#include <windows.h>
#include <ddraw.h>

#include "ui/pictures/pointer_list.h"

enum ButtonState : int32_t { ButtonNormal = 0, ButtonHover = 1, ButtonPressed = 2 };

struct ButtonFrame {
    int32_t number;
    IDirectDrawSurface* surface; // owned
};

class Button {
public:
    Button(int32_t x, int32_t y);
    Button(int32_t x, int32_t y, int32_t width, int32_t height);
    virtual ~Button();
    Button(const Button&) = delete;
    Button& operator=(const Button&) = delete;

    virtual void AddFrame(int32_t number, IDirectDrawSurface* surface);
    virtual int AddFrameFromFile(int32_t number, const char* fileName);
    virtual int LoadFrames(const char* fileName, int32_t count, int32_t vertical);
    virtual int32_t OnMouseMessage(UINT message, WPARAM wParam, LPARAM lParam);
    virtual int32_t Update(int32_t pointerX, int32_t pointerY, int32_t pointerButtons);
    virtual void DrawOn(IDirectDrawSurface* surface); // null: the back buffer
    virtual void SetFrameOffset(int32_t offset);
    virtual void Draw(IDirectDrawSurface* target);
    virtual void Redraw();
    virtual int32_t Clicked() const;
    virtual void Reset();
    virtual void SetName(const char* text);
    virtual void SetOrigin(int32_t x, int32_t y);
    virtual void SetEnabled(int32_t flag);
    virtual void BakeIntoBackground(int32_t flag);
    virtual void SwapFirstTwoFrames();
    virtual void SetLockedLook(int32_t flag);
    virtual void SetState(int32_t value);
    virtual int32_t State() const;
    virtual void SetHitRect(int32_t x, int32_t y, int32_t width, int32_t height);
    virtual void SetMarkOnDraw(int32_t flag);
    virtual void SetPixelHit(int32_t flag);
    virtual int32_t Inside() const;
    virtual void SetForcedFrame(int32_t index);
    virtual int32_t ForcedFrame() const;

    int32_t FrameTotal() const { return frames.Count(); }
    // The frame added under that number (or at that place in the list), or null.
    ButtonFrame* FindFrame(int32_t number) const;
    IDirectDrawSurface* FrameSurface(int32_t number) const;
    // The frame the state, offset, forced frame and locked look call for, or null.
    ButtonFrame* ChosenFrame() const;

    // Fields in declaration order.
    int32_t x, y;
    int32_t width, height;
    int32_t hitX, hitY, hitWidth, hitHeight;
    int32_t originX = 0, originY = 0;
    int32_t state = ButtonNormal;
    int32_t frameOffset = 0;
    PointerList<ButtonFrame> frames;
    int32_t clicked = 0;
    int32_t clickKind = 0; // 1 left click, 2 right click (message-driven variant)
    char name[64] = {};
    int32_t enabled = 1;
    int32_t lockedLook = 0;
    int32_t markOnDraw = 0;
    int32_t pixelHit = 0;
    int32_t inside = 0;
    int32_t forcedFrame = -1;

protected:
    // The press, drag and release rules shared by Update and OnMouseMessage;
    // inside, clicked and clickKind are already set.
    void Decide(int32_t pointerX, int32_t pointerY, int32_t leftDown);
    // 0 when frame 0 has no surface; else *opaque tells whether the pixel under
    // the pointer is anything but the blue key.
    int OpaqueAt(int32_t pointerX, int32_t pointerY, int32_t* opaque) const;
};
