// An animated picture: frames (cut from strips and grids), a frame range with
// an end mode, steps on the tick clock, and repaint bookkeeping when drawn.
#pragma once

#include <cstdint>

#include <windows.h>
#include <ddraw.h>

#include "ui/pictures/pointer_list.h"

enum SpriteEndMode : int32_t {
    SpriteOnce = 0, // hold the last frame
    SpriteLoop = 1,
    SpriteOnceAndRewind = 2,
    SpriteOnceAndVanish = 3, // frame becomes -1: nothing is drawn
};

class Sprite {
public:
    Sprite();
    virtual ~Sprite(); // releases the frames unless they are borrowed
    Sprite(const Sprite&) = delete;
    Sprite& operator=(const Sprite&) = delete;

    virtual void Rewind();
    virtual void AddFrame(IDirectDrawSurface* surface);
    virtual void AddFrameFromFile(const char* fileName);
    virtual void AddBorrowedFrame(IDirectDrawSurface* surface);
    virtual void SetPosition(int x, int y);
    virtual void DrawOnBackBuffer();
    virtual void DrawPart(int srcX, int srcY, int width, int height, IDirectDrawSurface* target,
                          int dstX, int dstY);
    virtual void Draw(IDirectDrawSurface* target);
    virtual void Move();
    virtual void SetUserValues(int32_t a, int32_t b, int32_t c, int32_t d);
    virtual void SetFrame(int32_t index);
    virtual int32_t CurrentFrame() const;
    virtual void SetVisible(int32_t flag);
    virtual void SetInterval(int32_t milliseconds);
    virtual void SetColourKey(int red, int green, int blue);
    virtual int StepOnce();
    virtual void SetFrameUnchecked(int32_t index);
    virtual int LoadStrip(const char* fileName, int32_t count, int32_t vertical);
    virtual int LoadGrid(const char* fileName, int32_t cellWidth, int32_t cellHeight);
    virtual void SetRange(int32_t first, int32_t end);
    virtual void SetName(const char* text);
    virtual void SetPlaying(int32_t flag);
    virtual void SetEndMode(int32_t mode);
    virtual void SetMarkAfterDraw(int32_t flag);
    virtual void Animate();
    virtual void DivideWidthByFrames();
    virtual void SetCentred(int32_t flag);

    int32_t FrameCountTotal() const { return frames ? frames->Count() : 0; }
    IDirectDrawSurface* FrameSurface(int32_t index) const {
        return frames ? frames->At(index) : nullptr;
    }

    // Fields in declaration order; owners read and set them directly.
    char name[64] = {};
    float x = 0;
    float y = 0;
    float velocityX = 0;
    float velocityY = 0;
    int32_t frameWidth = 0;
    int32_t frameHeight = 0;
    int32_t endMode = SpriteOnce;
    int32_t playing = 0;
    PointerList<IDirectDrawSurface>* frames = nullptr;
    int32_t frame = 0;
    int32_t sizeChanged = 0;
    int32_t centred = 0;
    int32_t user0 = 0, user1 = 0, user2 = 0, user3 = 0;
    int32_t interval = 0;
    int32_t step = 1;
    int32_t lastStep = 0;
    int32_t framesBorrowed = 0;
    int32_t firstFrame = -1;
    int32_t frameCount = -1;
    int32_t eraseBeforeDraw = 0;
    int32_t markAfterDraw = 1;
    int32_t wrap = 0;
    int32_t animated = 1;
    int32_t visible = 1;
};

// Cuts bitmap into cells of cellWidth x cellHeight, row-major, each a new
// blue-keyed surface appended to cells. Answers 1, or 0 when a cell surface
// could not be made (the cells made so far stay).
int GridCut(IDirectDrawSurface* bitmap, int32_t cellWidth, int32_t cellHeight,
            PointerList<IDirectDrawSurface>& cells);
