#include "gdi/device_context.h"

#include "gdi/canvas_dc.h"

#include "pixels/damage.h"
#include "pixels/screen_mode.h"

#include <mutex>
#include <utility>
#include <unordered_set>

namespace ludora::gdi {

namespace {

std::mutex& dcs_mutex() {
    static std::mutex m;
    return m;
}

std::unordered_set<DeviceContext*>& dcs() {
    static std::unordered_set<DeviceContext*> live;
    return live;
}

void select_defaults(DeviceContext* dc) {
    dc->font = static_cast<Font*>(stock_object(SYSTEM_FONT));
    dc->brush = static_cast<Brush*>(stock_object(WHITE_BRUSH));
    dc->pen = static_cast<Pen*>(stock_object(BLACK_PEN));
}

void release_selections(DeviceContext* dc) {
    if (dc->bitmap) --dc->bitmap->selections;
    if (dc->font) --dc->font->selections;
    if (dc->brush) --dc->brush->selections;
    if (dc->pen) --dc->pen->selections;
}

DeviceContext* new_dc(DcKind kind) {
    auto* dc = new DeviceContext();
    dc->kind = kind;
    select_defaults(dc);
    ++dc->font->selections;
    ++dc->brush->selections;
    ++dc->pen->selections;
    return dc;
}

} // namespace

void DeviceContext::note_drawn(const RECT& r) {
    pixels::Canvas c;
    if (!target(c)) return;
    const RECT on_canvas = pixels::rect_intersect(r, pixels::canvas_rect(c));
    drawn = pixels::rect_union(drawn, on_canvas);
}

bool DeviceContext::target(pixels::Canvas& out) {
    if (kind == DcKind::Surface) {
        if (before_use) std::exchange(before_use, nullptr)(owner);
        out = surface;
        return out.valid();
    }
    if (kind == DcKind::Memory && bitmap) {
        out = bitmap->canvas();
        return out.valid();
    }
    return false;
}

DeviceContext* find_dc(HDC handle) {
    if (!handle) return nullptr;
    std::lock_guard lock(dcs_mutex());
    auto* dc = reinterpret_cast<DeviceContext*>(handle);
    return dcs().count(dc) ? dc : nullptr;
}

HDC add_dc(DeviceContext* dc) {
    std::lock_guard lock(dcs_mutex());
    dcs().insert(dc);
    return reinterpret_cast<HDC>(dc);
}

void remove_dc(DeviceContext* dc) {
    {
        std::lock_guard lock(dcs_mutex());
        dcs().erase(dc);
    }
    release_selections(dc);
    delete dc;
}

HDC create_canvas_dc(const pixels::Canvas& canvas, void (*before_use)(void* owner), void* owner) {
    DeviceContext* dc = new_dc(DcKind::Surface);
    dc->surface = canvas;
    dc->before_use = before_use;
    dc->owner = owner;
    return add_dc(dc);
}

RECT delete_canvas_dc(HDC handle) {
    DeviceContext* dc = find_dc(handle);
    if (!dc) return RECT{};
    const RECT drawn = dc->drawn;
    remove_dc(dc);
    return drawn;
}

void update_canvas_dc(HDC handle, const pixels::Canvas& canvas) {
    DeviceContext* dc = find_dc(handle);
    if (dc && dc->kind == DcKind::Surface) dc->surface = canvas;
}

} // namespace ludora::gdi

using namespace ludora;
using namespace ludora::gdi;

extern "C" HDC WINAPI GetDC(HWND window) {
    DeviceContext* dc = new_dc(DcKind::Screen);
    dc->window = window;
    return add_dc(dc);
}

extern "C" int WINAPI ReleaseDC(HWND, HDC handle) {
    DeviceContext* dc = find_dc(handle);
    if (!dc || dc->kind != DcKind::Screen) return 0;
    remove_dc(dc);
    return 1;
}

extern "C" HDC WINAPI CreateCompatibleDC(HDC handle) {
    if (handle && !find_dc(handle)) return nullptr;
    DeviceContext* dc = new_dc(DcKind::Memory);
    dc->bitmap = stock_bitmap();
    ++dc->bitmap->selections;
    return add_dc(dc);
}

extern "C" BOOL WINAPI DeleteDC(HDC handle) {
    DeviceContext* dc = find_dc(handle);
    if (!dc || dc->kind == DcKind::Surface) return FALSE;
    remove_dc(dc);
    return TRUE;
}

extern "C" int WINAPI GetDeviceCaps(HDC handle, int index) {
    if (!find_dc(handle)) return 0;
    const pixels::DisplayMode screen = pixels::screen_mode();
    const pixels::DisplayMode desktop = pixels::desktop_mode();
    const bool palettised = screen.format.indexed;
    switch (index) {
    case DRIVERVERSION:
        return 0x400;
    case TECHNOLOGY:
        return DT_RASDISPLAY;
    case HORZSIZE:
        return screen.width * 254 / 960;
    case VERTSIZE:
        return screen.height * 254 / 960;
    case HORZRES:
        return screen.width;
    case VERTRES:
        return screen.height;
    case BITSPIXEL:
        // A 5-5-5 desktop answers 16, as Windows does.
        return screen.format.bits;
    case PLANES:
        return 1;
    case NUMCOLORS:
        return palettised ? 20 : -1;
    case SIZEPALETTE:
        return palettised ? 256 : 0;
    case NUMRESERVED:
        return palettised ? 20 : 0;
    case COLORRES:
        return palettised ? 18 : 24;
    case RASTERCAPS:
        return RC_BITBLT | RC_BITMAP64 | RC_DI_BITMAP | RC_DIBTODEV | RC_STRETCHBLT |
               RC_STRETCHDIB | (palettised ? RC_PALETTE : 0);
    case LOGPIXELSX:
    case LOGPIXELSY:
        return 96;
    case ASPECTX:
    case ASPECTY:
        return 36;
    case ASPECTXY:
        return 51;
    case VREFRESH:
        return 60;
    case DESKTOPHORZRES:
        return desktop.width;
    case DESKTOPVERTRES:
        return desktop.height;
    default:
        return 0;
    }
}

extern "C" HGDIOBJ WINAPI SelectObject(HDC handle, HGDIOBJ object_handle) {
    DeviceContext* dc = find_dc(handle);
    GdiObject* object = find_object(object_handle);
    if (!dc || !object) return nullptr;
    GdiObject* previous = nullptr;
    switch (object->kind) {
    case ObjectKind::Bitmap: {
        auto* bitmap = static_cast<Bitmap*>(object);
        if (dc->kind != DcKind::Memory) return nullptr;
        if (bitmap == dc->bitmap) return bitmap;
        // A bitmap lives in one memory context at a time.
        if (bitmap->selections > 0 && !bitmap->stock) return nullptr;
        previous = dc->bitmap;
        dc->bitmap = bitmap;
        break;
    }
    case ObjectKind::Font:
        previous = dc->font;
        dc->font = static_cast<Font*>(object);
        break;
    case ObjectKind::Brush:
        previous = dc->brush;
        dc->brush = static_cast<Brush*>(object);
        break;
    case ObjectKind::Pen:
        previous = dc->pen;
        dc->pen = static_cast<Pen*>(object);
        break;
    default:
        return nullptr;
    }
    ++object->selections;
    if (previous) --previous->selections;
    return previous;
}

extern "C" BOOL WINAPI DeleteObject(HGDIOBJ handle) {
    GdiObject* object = find_object(handle);
    if (!object) return FALSE;
    if (object->stock) return TRUE;
    // An object still selected into a context stays; deleting it would leave the context dangling.
    if (object->selections > 0) return FALSE;
    remove_object(object);
    return TRUE;
}

extern "C" HGDIOBJ WINAPI GetStockObject(int index) {
    return stock_object(index);
}

extern "C" DWORD WINAPI GetObjectType(HGDIOBJ handle) {
    if (GdiObject* object = find_object(handle)) {
        switch (object->kind) {
        case ObjectKind::Bitmap:
            return OBJ_BITMAP;
        case ObjectKind::Font:
            return OBJ_FONT;
        case ObjectKind::Brush:
            return OBJ_BRUSH;
        case ObjectKind::Pen:
            return OBJ_PEN;
        case ObjectKind::Palette:
            return OBJ_PAL;
        }
    }
    if (DeviceContext* dc = find_dc(static_cast<HDC>(handle))) {
        return dc->kind == DcKind::Memory ? OBJ_MEMDC : OBJ_DC;
    }
    return 0;
}

extern "C" HBRUSH WINAPI CreateSolidBrush(COLORREF colour) {
    auto* brush = new Brush();
    brush->colour = colour & 0xFFFFFF;
    return static_cast<HBRUSH>(add_object(brush));
}
