// Device contexts: the screen's (GetDC), memory contexts (CreateCompatibleDC) and
// the contexts of DirectDraw surfaces.
#pragma once

#include "gdi/gdi_objects.h"

#include <wingdi.h>

namespace ludora::gdi {

enum class DcKind { Screen, Memory, Surface };

struct DeviceContext {
    DcKind kind = DcKind::Screen;
    HWND window = nullptr;
    pixels::Canvas surface;                    // DcKind::Surface: the surface's pixels
    void (*before_use)(void* owner) = nullptr; // DcKind::Surface: once, before the pixels
    void* owner = nullptr;
    Bitmap* bitmap = nullptr;
    Font* font = nullptr;
    Brush* brush = nullptr;
    Pen* pen = nullptr;
    int bk_mode = OPAQUE;
    COLORREF bk_colour = RGB(255, 255, 255);
    COLORREF text_colour = RGB(0, 0, 0);
    int stretch_mode = BLACKONWHITE;
    UINT text_align = TA_LEFT | TA_TOP;
    RECT drawn{}; // the bounds of everything drawn through this context

    // Where drawing lands; false for the screen's context, which draws nothing.
    bool target(pixels::Canvas& out);
    // Adds `r` (clipped to the target) to the bounds drawn.
    void note_drawn(const RECT& r);
};

DeviceContext* find_dc(HDC dc);
HDC add_dc(DeviceContext* dc);
void remove_dc(DeviceContext* dc);

} // namespace ludora::gdi
