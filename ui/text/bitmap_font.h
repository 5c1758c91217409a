// A proportional font cut from one row of glyphs ("!" to "~") on blue.
#pragma once

#include <cstdint>

#include <windows.h>
#include <ddraw.h>

struct Glyph {
    int32_t start, end, width;
};

enum TextAlign : int32_t { AlignLeft = 0, AlignRight = 1 };

class BitmapFont {
public:
    BitmapFont() = default;
    virtual ~BitmapFont();
    BitmapFont(const BitmapFont&) = delete;
    BitmapFont& operator=(const BitmapFont&) = delete;

    virtual int Load(const char* fileName);
    virtual int32_t CharWidth(unsigned char c) const;
    virtual int32_t TextWidth(const char* text) const;
    virtual int32_t DrawChar(IDirectDrawSurface* target, unsigned char c, int32_t x, int32_t y);
    // clipRight -1: no clipping. Answers 1.
    virtual int DrawText(IDirectDrawSurface* target, const char* text, int32_t x, int32_t y,
                         int32_t align, int32_t clipRight);

    IDirectDrawSurface* surface = nullptr;
    int32_t height = 0;
    int32_t spaceWidth = 0;
    int32_t gap = 0;
    Glyph glyphs[94] = {};
};
