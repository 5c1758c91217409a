#include "ui/text/bitmap_font.h"

#include <cstring>
#include <new>

#include "ui/pictures/clipped_blit.h"
#include "ui/pictures/colour_key.h"
#include "zq.h"

namespace {

constexpr int32_t FirstGlyph = 33; // "!"
constexpr int32_t LastGlyph = 126; // "~"
constexpr int32_t GlyphCount = LastGlyph - FirstGlyph + 1;
constexpr int32_t LongestText = 255;

// Marks every column of the surface that holds nothing but the key colour.
// Answers 0 when the surface cannot be locked.
int FindEmptyColumns(IDirectDrawSurface* surface, DWORD key, int32_t width, int32_t height,
                     unsigned char* empty) {
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    if (FAILED(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr))) {
        return 0;
    }
    const int32_t bytes = static_cast<int32_t>(desc.ddpfPixelFormat.dwRGBBitCount / 8);
    const DWORD mask = bytes >= 4 ? 0xFFFFFFFFu : (1u << (8 * bytes)) - 1;
    for (int32_t column = 0; column < width; ++column) {
        empty[column] = 1;
    }
    for (int32_t row = 0; row < height; ++row) {
        const unsigned char* line = static_cast<const unsigned char*>(desc.lpSurface) +
                                    static_cast<ptrdiff_t>(desc.lPitch) * row;
        for (int32_t column = 0; column < width; ++column) {
            if (!empty[column]) {
                continue;
            }
            DWORD pixel = 0;
            std::memcpy(&pixel, line + static_cast<ptrdiff_t>(column) * bytes, bytes);
            if ((pixel & mask) != (key & mask)) {
                empty[column] = 0;
            }
        }
    }
    surface->Unlock(desc.lpSurface);
    return 1;
}

} // namespace

BitmapFont::~BitmapFont() {
    if (surface) {
        surface->Release();
    }
}

int BitmapFont::Load(const char* fileName) {
    if (surface) {
        surface->Release();
        surface = nullptr;
    }
    for (Glyph& glyph : glyphs) {
        glyph = {-1, -1, 0};
    }
    height = 0;
    IDirectDrawSurface* bitmap = ZQLoadBitmap(fileName, 16);
    if (!bitmap) {
        return 0;
    }
    SetBlueKey(bitmap);
    int32_t width = 0;
    int32_t bitmapHeight = 0;
    SurfaceSize(bitmap, &width, &bitmapHeight);
    unsigned char* empty = new (std::nothrow) unsigned char[width > 0 ? width : 1];
    if (!empty || !FindEmptyColumns(bitmap, ColourInSurfaceFormat(bitmap, 0, 0, 255), width,
                                    bitmapHeight, empty)) {
        delete[] empty;
        bitmap->Release();
        return 0;
    }

    Glyph found[GlyphCount];
    int32_t column = 0;
    int32_t widest = 0;
    for (int32_t j = 0; j < GlyphCount; ++j) {
        while (column < width && empty[column]) {
            ++column;
        }
        if (column >= width) {
            // Fewer glyphs than "!" to "~": not a font.
            delete[] empty;
            bitmap->Release();
            return 0;
        }
        const int32_t start = column;
        while (column < width && !empty[column]) {
            ++column;
        }
        found[j] = {start, column, column - start};
        if (found[j].width > widest) {
            widest = found[j].width;
        }
        ++column;
    }
    delete[] empty;

    std::memcpy(glyphs, found, sizeof glyphs);
    surface = bitmap;
    height = bitmapHeight;
    // Single precision, truncated, as the fonts were always measured.
    spaceWidth = static_cast<int32_t>(static_cast<float>(widest) * 0.5f);
    gap = static_cast<int32_t>(static_cast<float>(widest) * 0.1f);
    return 1;
}

int32_t BitmapFont::CharWidth(unsigned char c) const {
    if (c < FirstGlyph || c > LastGlyph) {
        return spaceWidth;
    }
    return gap + glyphs[c - FirstGlyph].width;
}

int32_t BitmapFont::TextWidth(const char* text) const {
    if (!text) {
        return 0;
    }
    int32_t sum = 0;
    for (const unsigned char* c = reinterpret_cast<const unsigned char*>(text); *c; ++c) {
        sum += CharWidth(*c);
    }
    return sum;
}

int32_t BitmapFont::DrawChar(IDirectDrawSurface* target, unsigned char c, int32_t x, int32_t y) {
    if (c == ' ') {
        return spaceWidth;
    }
    if (c < FirstGlyph || c > LastGlyph) {
        return 0;
    }
    const Glyph& glyph = glyphs[c - FirstGlyph];
    if (glyph.start == -1 || glyph.end == -1 || !surface) {
        return 0;
    }
    if (target) {
        const RECT source = {glyph.start, 0, glyph.end, height};
        ClippedBlit(target, x, y, surface, source, KeyedBlit);
    }
    return gap + glyph.width;
}

int BitmapFont::DrawText(IDirectDrawSurface* target, const char* text, int32_t x, int32_t y,
                         int32_t align, int32_t clipRight) {
    if (!text) {
        return 1;
    }
    const int32_t length = static_cast<int32_t>(strnlen(text, LongestText));
    const unsigned char* characters = reinterpret_cast<const unsigned char*>(text);
    if (align == AlignLeft) {
        int32_t pen = x;
        for (int32_t i = 0; i < length; ++i) {
            if (clipRight != -1 && pen + CharWidth(characters[i]) >= clipRight) {
                break;
            }
            pen += DrawChar(target, characters[i], pen, y);
        }
    } else if (align == AlignRight) {
        int32_t pen = x;
        for (int32_t i = length - 1; i >= 0; --i) {
            pen -= CharWidth(characters[i]);
            DrawChar(target, characters[i], pen, y);
        }
    }
    return 1;
}
