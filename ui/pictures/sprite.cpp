#include "ui/pictures/sprite.h"

#include <cstring>
#include <new>

#include "shell/core/copy_text.h"
#include "shell/core/tick_clock.h"
#include "ui/pictures/clipped_blit.h"
#include "ui/pictures/colour_key.h"
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

Sprite::Sprite() : frames(new (std::nothrow) PointerList<IDirectDrawSurface>) {}

Sprite::~Sprite() {
    if (frames == nullptr) return;
    if (!framesBorrowed) {
        for (IDirectDrawSurface* surface : *frames) {
            if (surface != nullptr) surface->Release();
        }
    }
    delete frames;
}

void Sprite::Rewind() {
    frame = 0;
}

void Sprite::AddFrame(IDirectDrawSurface* surface) {
    if (surface == nullptr || frames == nullptr) return;
    SetBlueKey(surface);
    int32_t width = 0, height = 0;
    SurfaceSize(surface, &width, &height);
    if (frames->Count() > 0 && (width != frameWidth || height != frameHeight)) sizeChanged = 1;
    frameWidth = width;
    frameHeight = height;
    frames->Add(surface);
    firstFrame = 0;
    frameCount = frames->Count();
}

void Sprite::AddFrameFromFile(const char* fileName) {
    if (fileName == nullptr) return;
    IDirectDrawSurface* surface = ZQLoadBitmap(fileName, 16);
    AddFrame(surface);
    if (surface == nullptr) {
        MessageBoxA(nullptr, fileName, "ERROR: can't find file!", MB_OK);
    }
}

void Sprite::AddBorrowedFrame(IDirectDrawSurface* surface) {
    framesBorrowed = 1;
    AddFrame(surface);
}

void Sprite::SetPosition(int newX, int newY) {
    x = static_cast<float>(newX);
    y = static_cast<float>(newY);
}

void Sprite::DrawOnBackBuffer() {
    Draw(BackBuffer());
}

void Sprite::DrawPart(int srcX, int srcY, int width, int height, IDirectDrawSurface* target,
                      int dstX, int dstY) {
    if (eraseBeforeDraw) g_RedrawList.Restore(dstX, dstY, width, height);
    IDirectDrawSurface* surface = FrameSurface(frame);
    if (surface == nullptr) return;
    if (visible) {
        const RECT part = {srcX, srcY, srcX + width, srcY + height};
        ClippedBlit(target, dstX, dstY, surface, part);
    }
    if (markAfterDraw)
        g_RedrawList.Mark(dstX, dstY, width, height, RedrawOneShot | RedrawFromBackground);
}

void Sprite::Draw(IDirectDrawSurface* target) {
    // The erase uses the top-left position, also for a centred sprite.
    if (eraseBeforeDraw) {
        g_RedrawList.Restore(static_cast<int32_t>(x), static_cast<int32_t>(y), frameWidth,
                             frameHeight);
    }
    IDirectDrawSurface* surface = FrameSurface(frame);
    if (surface == nullptr) return;
    int32_t left = static_cast<int32_t>(x);
    int32_t top = static_cast<int32_t>(y);
    if (centred) {
        left = static_cast<int32_t>(x - static_cast<float>(frameWidth / 2));
        top = static_cast<int32_t>(y - static_cast<float>(frameHeight / 2));
    }
    if (visible) {
        int32_t width = 0, height = 0;
        SurfaceSize(surface, &width, &height);
        const RECT whole = {0, 0, width, height};
        ClippedBlit(target, left, top, surface, whole);
    }
    if (markAfterDraw) {
        g_RedrawList.Mark(left, top, frameWidth, frameHeight, RedrawOneShot | RedrawFromBackground);
    }
}

void Sprite::Move() {
    x += velocityX;
    y += velocityY;
}

void Sprite::SetUserValues(int32_t a, int32_t b, int32_t c, int32_t d) {
    user0 = a;
    user1 = b;
    user2 = c;
    user3 = d;
}

void Sprite::SetFrame(int32_t index) {
    if (index >= 0 && index < FrameCountTotal()) frame = index;
}

int32_t Sprite::CurrentFrame() const {
    return frame;
}

void Sprite::SetVisible(int32_t flag) {
    visible = flag;
}

void Sprite::SetInterval(int32_t milliseconds) {
    interval = milliseconds;
}

void Sprite::SetColourKey(int red, int green, int blue) {
    if (frames == nullptr) return;
    for (IDirectDrawSurface* surface : *frames) {
        ::SetColourKey(surface, red, green, blue);
    }
}

int Sprite::StepOnce() {
    const int32_t now = g_TickClock.Now();
    if (now < lastStep) return 0;
    const int32_t total = FrameCountTotal();
    const int32_t next = frame + step;
    if (next >= 0 && next < total) {
        frame = next;
    } else if (wrap) {
        frame = step == 1 ? 0 : total - 1;
    }
    lastStep = now + interval;
    return 1;
}

void Sprite::SetFrameUnchecked(int32_t index) {
    frame = index;
}

int Sprite::LoadStrip(const char* fileName, int32_t count, int32_t vertical) {
    if (fileName == nullptr || frames == nullptr || count <= 0) return 0;
    IDirectDrawSurface* bitmap = ZQLoadBitmap(fileName, 16);
    if (bitmap == nullptr) return 0;
    int32_t width = 0, height = 0;
    SurfaceSize(bitmap, &width, &height);
    const int cut = vertical ? GridCut(bitmap, width, height / count, *frames)
                             : GridCut(bitmap, width / count, height, *frames);
    // The whole strip's size; DivideWidthByFrames gives one frame's width.
    frameWidth = width;
    frameHeight = height;
    firstFrame = 0;
    frameCount = frames->Count();
    bitmap->Release();
    return cut;
}

int Sprite::LoadGrid(const char* fileName, int32_t cellWidth, int32_t cellHeight) {
    if (fileName == nullptr || frames == nullptr) return 0;
    IDirectDrawSurface* bitmap = ZQLoadBitmap(fileName, 16);
    if (bitmap == nullptr) return 0;
    const int cut = GridCut(bitmap, cellWidth, cellHeight, *frames);
    bitmap->Release();
    frameWidth = cellWidth;
    frameHeight = cellHeight;
    firstFrame = 0;
    frameCount = frames->Count();
    return cut;
}

void Sprite::SetRange(int32_t first, int32_t end) {
    firstFrame = first;
    frameCount = end;
}

void Sprite::SetName(const char* text) {
    CopyText(name, sizeof name, text);
}

void Sprite::SetPlaying(int32_t flag) {
    playing = flag;
}

void Sprite::SetEndMode(int32_t mode) {
    endMode = mode;
}

void Sprite::SetMarkAfterDraw(int32_t flag) {
    markAfterDraw = flag;
}

void Sprite::Animate() {
    if (!animated || firstFrame == -1) return;
    if (!(g_TickClock.Since(lastStep) > interval)) return;
    lastStep = g_TickClock.Now();
    if (playing == 1) frame += step;

    // The end of the range is checked even while the sprite stands still.
    if (frame >= frameCount) {
        switch (endMode) {
        case SpriteLoop:
            frame = firstFrame;
            break;
        case SpriteOnce:
            playing = 0;
            frame = frameCount - 1;
            break;
        case SpriteOnceAndRewind:
            playing = 0;
            frame = firstFrame;
            break;
        case SpriteOnceAndVanish:
            playing = 0;
            frame = -1;
            break;
        default:
            break;
        }
    }
    // Running backwards ends below frame 0, not below the range's first frame; kept as designed.
    if (frame < 0) {
        switch (endMode) {
        case SpriteLoop:
            frame = frameCount - 1;
            break;
        case SpriteOnce:
        case SpriteOnceAndRewind:
            playing = 0;
            frame = firstFrame;
            break;
        case SpriteOnceAndVanish:
            playing = 0;
            frame = -1;
            break;
        default:
            break;
        }
    }
}

void Sprite::DivideWidthByFrames() {
    const int32_t total = FrameCountTotal();
    if (total > 0) frameWidth /= total;
}

void Sprite::SetCentred(int32_t flag) {
    centred = flag;
}
