// GDI objects behind the handles: bitmaps (DIB sections and device bitmaps),
// fonts, brushes and pens. Handles are checked against the live set, so a stale
// or foreign handle is refused instead of followed.
#pragma once

#include "pixels/canvas.h"

#include <wingdi.h>

#include <atomic>
#include <vector>

namespace ludora::gdi {

enum class ObjectKind { Bitmap, Font, Brush, Pen, Palette };

struct GdiObject {
    explicit GdiObject(ObjectKind k) : kind(k) {}
    virtual ~GdiObject() = default;
    ObjectKind kind;
    bool stock = false;
    // Device contexts it is selected into; contexts of other threads may share it.
    std::atomic<int> selections{0};
};

struct Bitmap final : GdiObject {
    Bitmap() : GdiObject(ObjectKind::Bitmap) {}
    bool dib = false;
    int width = 0;
    int height = 0; // as the header says: negative for top-down
    int stride = 0;
    pixels::PixelFormat format;
    DWORD compression = BI_RGB;
    std::vector<uint8_t> bits;
    std::vector<RGBQUAD> colour_table;     // indexed formats: 1 << bits entries
    std::vector<uint32_t> palette_colours; // the same as 0x00RRGGBB

    int rows() const { return height < 0 ? -height : height; }
    pixels::Canvas canvas();
    void refresh_palette();
};

struct Font final : GdiObject {
    Font() : GdiObject(ObjectKind::Font) {}
    LOGFONTA logfont{};
};

struct Brush final : GdiObject {
    Brush() : GdiObject(ObjectKind::Brush) {}
    COLORREF colour = 0;
    bool hollow = false;
};

struct Pen final : GdiObject {
    Pen() : GdiObject(ObjectKind::Pen) {}
    COLORREF colour = 0;
    bool hollow = false;
};

// Registers a new object and returns its handle.
HGDIOBJ add_object(GdiObject* object);
// The live object behind a handle, or null.
GdiObject* find_object(HGDIOBJ handle);
// Forgets and frees an object.
void remove_object(GdiObject* object);

template <class T> T* find_as(HGDIOBJ handle, ObjectKind kind) {
    GdiObject* o = find_object(handle);
    return o && o->kind == kind ? static_cast<T*>(o) : nullptr;
}

// A bitmap of the given layout with zeroed bits, or with `pixels` moved in when
// they are given and of the layout's size; null when the size is absurd.
Bitmap* make_bitmap(int width, int height, const pixels::PixelFormat& format, bool dib,
                    std::vector<uint8_t>* pixels = nullptr);

// Stock objects (created once, never freed).
GdiObject* stock_object(int index);
Bitmap* stock_bitmap(); // the 1x1 monochrome bitmap of a new memory context

} // namespace ludora::gdi
