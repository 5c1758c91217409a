// DIB sections, device bitmaps, colour tables and GetObjectA.
#include "gdi/device_context.h"

#include "pixels/screen_mode.h"

#include <algorithm>
#include <cstring>

using namespace ludora;
using namespace ludora::gdi;

namespace {

// The pixel format a DIB header describes; false for what GDI does not take.
bool dib_format(const BITMAPINFO* info, pixels::PixelFormat& out) {
    const BITMAPINFOHEADER& h = info->bmiHeader;
    const int bits = h.biBitCount;
    if (h.biCompression == BI_RGB) {
        switch (bits) {
        case 1:
        case 4:
        case 8:
            out = pixels::format_indexed(bits);
            return true;
        case 16:
            out = pixels::format_rgb555();
            return true;
        case 24:
            out = pixels::format_rgb24();
            return true;
        case 32:
            out = pixels::format_xrgb32();
            return true;
        default:
            return false;
        }
    }
    if (h.biCompression == BI_BITFIELDS && (bits == 16 || bits == 32)) {
        DWORD masks[3];
        if (h.biSize >= sizeof(BITMAPV4HEADER)) {
            const auto* v4 = reinterpret_cast<const BITMAPV4HEADER*>(&h);
            masks[0] = v4->bV4RedMask;
            masks[1] = v4->bV4GreenMask;
            masks[2] = v4->bV4BlueMask;
        } else {
            std::memcpy(masks, reinterpret_cast<const uint8_t*>(info) + h.biSize, sizeof(masks));
        }
        return pixels::format_from_masks(bits, masks[0], masks[1], masks[2], 0, out);
    }
    return false;
}

} // namespace

extern "C" HBITMAP WINAPI CreateDIBSection(HDC dc, CONST BITMAPINFO* info, UINT usage,
                                           VOID** bits_out, HANDLE, DWORD) {
    if (bits_out) *bits_out = nullptr;
    if (!info || info->bmiHeader.biSize < sizeof(BITMAPINFOHEADER) ||
        info->bmiHeader.biPlanes != 1) {
        return nullptr;
    }
    pixels::PixelFormat format;
    if (!dib_format(info, format)) return nullptr;
    const BITMAPINFOHEADER& h = info->bmiHeader;
    Bitmap* bitmap = make_bitmap(h.biWidth, h.biHeight, format, true);
    if (!bitmap) return nullptr;
    bitmap->compression = h.biCompression;
    if (format.indexed) {
        const size_t table = bitmap->colour_table.size();
        const size_t given = h.biClrUsed ? std::min<size_t>(h.biClrUsed, table) : table;
        const auto* colours =
            reinterpret_cast<const RGBQUAD*>(reinterpret_cast<const uint8_t*>(info) + h.biSize);
        if (usage == DIB_RGB_COLORS) {
            for (size_t i = 0; i < given; ++i) {
                bitmap->colour_table[i] = colours[i];
                bitmap->colour_table[i].rgbReserved = 0;
            }
        }
        bitmap->refresh_palette();
    }
    (void)dc;
    if (bits_out) *bits_out = bitmap->bits.data();
    return static_cast<HBITMAP>(static_cast<HGDIOBJ>(bitmap));
}

extern "C" HBITMAP WINAPI CreateCompatibleBitmap(HDC handle, int width, int height) {
    DeviceContext* dc = find_dc(handle);
    if (!dc || height <= 0) return nullptr;
    // A memory context makes bitmaps like the one it holds (monochrome when new).
    pixels::PixelFormat format = pixels::screen_mode().format;
    const Bitmap* model = dc->kind == DcKind::Memory ? dc->bitmap : nullptr;
    if (model) format = model->format;
    Bitmap* bitmap = make_bitmap(width, height, format, false);
    if (!bitmap) return nullptr;
    if (model && format.indexed) {
        bitmap->colour_table = model->colour_table;
        bitmap->refresh_palette();
    }
    return static_cast<HBITMAP>(static_cast<HGDIOBJ>(bitmap));
}

extern "C" UINT WINAPI GetDIBColorTable(HDC handle, UINT start, UINT count, RGBQUAD* out) {
    DeviceContext* dc = find_dc(handle);
    if (!dc || !out || !dc->bitmap || !dc->bitmap->dib || !dc->bitmap->format.indexed) return 0;
    const auto& table = dc->bitmap->colour_table;
    if (start >= table.size()) return 0;
    const UINT n = std::min<UINT>(count, static_cast<UINT>(table.size() - start));
    std::copy_n(table.begin() + start, n, out);
    return n;
}

extern "C" UINT WINAPI SetDIBColorTable(HDC handle, UINT start, UINT count, CONST RGBQUAD* in) {
    DeviceContext* dc = find_dc(handle);
    if (!dc || !in || !dc->bitmap || !dc->bitmap->dib || !dc->bitmap->format.indexed) return 0;
    auto& table = dc->bitmap->colour_table;
    if (start >= table.size()) return 0;
    const UINT n = std::min<UINT>(count, static_cast<UINT>(table.size() - start));
    std::copy_n(in, n, table.begin() + start);
    dc->bitmap->refresh_palette();
    return n;
}

extern "C" int WINAPI GetObjectA(HANDLE handle, int size, LPVOID out) {
    GdiObject* object = find_object(handle);
    if (!object || size < 0) return 0;
    if (object->kind == ObjectKind::Bitmap) {
        auto* b = static_cast<Bitmap*>(object);
        DIBSECTION ds{};
        ds.dsBm.bmType = 0;
        ds.dsBm.bmWidth = b->width;
        ds.dsBm.bmHeight = b->rows();
        ds.dsBm.bmWidthBytes = b->stride;
        ds.dsBm.bmPlanes = 1;
        ds.dsBm.bmBitsPixel = static_cast<WORD>(b->format.bits);
        ds.dsBm.bmBits = b->dib ? b->bits.data() : nullptr;
        if (!out) return b->dib ? sizeof(DIBSECTION) : sizeof(BITMAP);
        if (b->dib && size >= static_cast<int>(sizeof(DIBSECTION))) {
            ds.dsBmih.biSize = sizeof(BITMAPINFOHEADER);
            ds.dsBmih.biWidth = b->width;
            ds.dsBmih.biHeight = b->height;
            ds.dsBmih.biPlanes = 1;
            ds.dsBmih.biBitCount = static_cast<WORD>(b->format.bits);
            ds.dsBmih.biCompression = b->compression;
            ds.dsBmih.biSizeImage = static_cast<DWORD>(b->bits.size());
            ds.dsBmih.biClrUsed = static_cast<DWORD>(b->colour_table.size());
            ds.dsBitfields[0] = b->format.red_mask;
            ds.dsBitfields[1] = b->format.green_mask;
            ds.dsBitfields[2] = b->format.blue_mask;
            std::memcpy(out, &ds, sizeof(ds));
            return sizeof(DIBSECTION);
        }
        const int n = std::min<int>(size, sizeof(BITMAP));
        std::memcpy(out, &ds.dsBm, n);
        return n;
    }
    if (object->kind == ObjectKind::Font) {
        const auto* font = static_cast<Font*>(object);
        if (!out) return sizeof(LOGFONTA);
        const int n = std::min<int>(size, sizeof(LOGFONTA));
        std::memcpy(out, &font->logfont, n);
        return n;
    }
    return 0;
}
