#include "ui/buttons/button.h"

#include <cstdio>

#include "zq.h"

#include "ui/pictures/back_buffer.h"
#include "ui/pictures/clipped_blit.h"
#include "ui/pictures/colour_key.h"
#include "ui/pictures/redraw_list.h"
#include "ui/pictures/sprite.h"

namespace {

int32_t SmallerOf(int32_t a, int32_t b) {
    return a < b ? a : b;
}

} // namespace

Button::Button(int32_t x, int32_t y) : Button(x, y, 0, 0) {}

Button::Button(int32_t x, int32_t y, int32_t width, int32_t height)
    : x(x), y(y), width(width), height(height), hitX(x), hitY(y), hitWidth(width),
      hitHeight(height) {}

Button::~Button() {
    for (ButtonFrame* frame : frames) {
        if (frame->surface) {
            frame->surface->Release();
        }
        delete frame;
    }
    frames.Clear();
}

ButtonFrame* Button::FindFrame(int32_t number) const {
    for (ButtonFrame* frame : frames) {
        if (frame->number == number) {
            return frame;
        }
    }
    // Frames are normally added as 0, 1, 2...: the place in the list is the number.
    return frames.At(number);
}

IDirectDrawSurface* Button::FrameSurface(int32_t number) const {
    ButtonFrame* frame = FindFrame(number);
    return frame ? frame->surface : nullptr;
}

void Button::AddFrame(int32_t number, IDirectDrawSurface* surface) {
    if (!surface) {
        return;
    }
    SetBlueKey(surface);
    int32_t frameWidth = 0, frameHeight = 0;
    SurfaceSize(surface, &frameWidth, &frameHeight);
    width = frameWidth;
    height = frameHeight;
    hitWidth = frameWidth;
    hitHeight = frameHeight;
    // A second picture under the same number replaces the first instead of hiding it.
    for (ButtonFrame* frame : frames) {
        if (frame->number == number) {
            if (frame->surface && frame->surface != surface) {
                frame->surface->Release();
            }
            frame->surface = surface;
            return;
        }
    }
    ButtonFrame* frame = new (std::nothrow) ButtonFrame{number, surface};
    if (!frame || !frames.Add(frame)) {
        delete frame;
        surface->Release();
    }
}

int Button::AddFrameFromFile(int32_t number, const char* fileName) {
    IDirectDrawSurface* surface = fileName ? ZQLoadBitmap(fileName, 16) : nullptr;
    if (!surface) {
        return 0;
    }
    AddFrame(number, surface);
    return 1;
}

int Button::LoadFrames(const char* fileName, int32_t count, int32_t vertical) {
    if (!fileName || count <= 0) {
        return 0;
    }
    IDirectDrawSurface* bitmap = ZQLoadBitmap(fileName, 16);
    if (!bitmap) {
        return 0;
    }
    int32_t bitmapWidth = 0, bitmapHeight = 0;
    SurfaceSize(bitmap, &bitmapWidth, &bitmapHeight);
    const int32_t cellWidth = vertical ? bitmapWidth : bitmapWidth / count;
    const int32_t cellHeight = vertical ? bitmapHeight / count : bitmapHeight;
    PointerList<IDirectDrawSurface> cells;
    if (cellWidth > 0 && cellHeight > 0) {
        GridCut(bitmap, cellWidth, cellHeight, cells);
    }
    bitmap->Release();
    if (cells.Count() != count) {
        for (IDirectDrawSurface* cell : cells) {
            cell->Release();
        }
        return 0;
    }
    for (int32_t i = 0; i < count; ++i) {
        AddFrame(i, cells.At(i));
    }
    return 1;
}

int Button::OpaqueAt(int32_t pointerX, int32_t pointerY, int32_t* opaque) const {
    IDirectDrawSurface* first = FrameSurface(0);
    if (!first) {
        return 0;
    }
    const DWORD pixel = ReadPixel(first, pointerX - originX - hitX, pointerY - originY - hitY);
    *opaque = pixel != ColourInSurfaceFormat(first, 0, 0, 255);
    return 1;
}

void Button::Decide(int32_t pointerX, int32_t pointerY, int32_t leftDown) {
    int32_t opaque = 1;
    if (leftDown) {
        if (inside && state == ButtonPressed) {
            return;
        }
        if (inside && pixelHit) {
            if (OpaqueAt(pointerX, pointerY, &opaque) && opaque) {
                state = ButtonPressed;
                Redraw();
            }
            return;
        }
        if (inside) {
            state = ButtonPressed;
            Redraw();
            return;
        }
    } else if (inside) {
        if (pixelHit) {
            if (!OpaqueAt(pointerX, pointerY, &opaque)) {
                return;
            }
            if (!opaque) {
                state = ButtonNormal;
                Redraw();
                return;
            }
        }
        if (state == ButtonPressed) {
            clicked = 1;
            clickKind = 1;
        }
        if (state != ButtonHover) {
            state = ButtonHover;
            Redraw();
        }
        return;
    }
    if (state != ButtonNormal) {
        state = ButtonNormal;
        Redraw();
    }
}

int32_t Button::OnMouseMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (!enabled) {
        return state;
    }
    const int32_t pointerX = static_cast<int16_t>(lParam & 0xFFFF);
    const int32_t pointerY = static_cast<int16_t>((lParam >> 16) & 0xFFFF);
    int32_t leftDown = 0;
    switch (message) {
    case WM_MOUSEMOVE:
        leftDown = (wParam & MK_LBUTTON) != 0;
        break;
    case WM_LBUTTONDOWN:
        leftDown = 1;
        break;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
        break;
    default:
        return state;
    }
    // Messages count the right and bottom edges as inside.
    const int32_t left = originX + hitX, top = originY + hitY;
    inside = left <= pointerX && pointerX <= left + hitWidth && top <= pointerY &&
             pointerY <= top + hitHeight;
    clicked = 0;
    clickKind = 0;
    if (message == WM_RBUTTONUP) {
        int32_t opaque = 1;
        if (inside && (!pixelHit || (OpaqueAt(pointerX, pointerY, &opaque) && opaque))) {
            clicked = 1;
            clickKind = 2;
        }
        return state;
    }
    Decide(pointerX, pointerY, leftDown);
    return state;
}

int32_t Button::Update(int32_t pointerX, int32_t pointerY, int32_t pointerButtons) {
    if (!enabled) {
        return state;
    }
    const int32_t left = originX + hitX, top = originY + hitY;
    inside = left <= pointerX && pointerX < left + hitWidth && top <= pointerY &&
             pointerY < top + hitHeight;
    clicked = 0;
    clickKind = 0;
    Decide(pointerX, pointerY, pointerButtons & 1);
    return state;
}

void Button::DrawOn(IDirectDrawSurface* surface) {
    Draw(surface ? surface : BackBuffer());
}

void Button::SetFrameOffset(int32_t offset) {
    frameOffset = offset;
    Redraw();
}

ButtonFrame* Button::ChosenFrame() const {
    const int32_t look = state + frameOffset;
    if (look >= frames.Count()) {
        return frames.At(frames.Count() - 1);
    }
    if (forcedFrame != -1) {
        return FindFrame(forcedFrame);
    }
    return FindFrame(lockedLook ? 0 : look);
}

void Button::Draw(IDirectDrawSurface* target) {
    ButtonFrame* frame = ChosenFrame();
    if (!frame || !frame->surface || !target) {
        return;
    }
    const int32_t left = originX + x, top = originY + y;
    if (markOnDraw) {
        g_RedrawList.Mark(left, top, width, height, RedrawOneShot | RedrawFromBackground);
    }
    // A frame smaller than the drawn size is copied whole, never read past its edge.
    int32_t frameWidth = 0, frameHeight = 0;
    SurfaceSize(frame->surface, &frameWidth, &frameHeight);
    RECT source = {0, 0, SmallerOf(width, frameWidth), SmallerOf(height, frameHeight)};
    ClippedBlit(target, left, top, frame->surface, source);
}

void Button::Redraw() {
    if (enabled) {
        DrawOn(nullptr);
    }
}

int32_t Button::Clicked() const {
    return clicked;
}

void Button::Reset() {
    state = ButtonNormal;
    Redraw();
}

void Button::SetName(const char* text) {
    std::snprintf(name, sizeof name, "%s", text ? text : "");
}

void Button::SetOrigin(int32_t x, int32_t y) {
    originX = x;
    originY = y;
}

void Button::SetEnabled(int32_t flag) {
    enabled = flag;
}

void Button::BakeIntoBackground(int32_t flag) {
    if (!flag) {
        return;
    }
    if (IDirectDrawSurface* pristine = g_RedrawList.Pristine()) {
        Draw(pristine);
    }
    if (IDirectDrawSurface* background = g_RedrawList.Background()) {
        Draw(background);
    }
}

void Button::SwapFirstTwoFrames() {
    ButtonFrame* first = FindFrame(0);
    ButtonFrame* second = FindFrame(1);
    if (first && second && first != second) {
        IDirectDrawSurface* surface = first->surface;
        first->surface = second->surface;
        second->surface = surface;
    }
    Redraw();
}

void Button::SetLockedLook(int32_t flag) {
    lockedLook = flag;
}

void Button::SetState(int32_t value) {
    state = value;
}

int32_t Button::State() const {
    return state;
}

void Button::SetHitRect(int32_t x, int32_t y, int32_t width, int32_t height) {
    hitX = x;
    hitY = y;
    hitWidth = width;
    hitHeight = height;
}

void Button::SetMarkOnDraw(int32_t flag) {
    markOnDraw = flag;
}

void Button::SetPixelHit(int32_t flag) {
    pixelHit = flag;
}

int32_t Button::Inside() const {
    return inside;
}

void Button::SetForcedFrame(int32_t index) {
    forcedFrame = index;
}

int32_t Button::ForcedFrame() const {
    return forcedFrame;
}
