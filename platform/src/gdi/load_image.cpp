// LoadImageA for bitmap files.
#include "gdi/bmp_decoder.h"
#include "gdi/gdi_objects.h"

#include "kernel/windows_path.h"
#include "pixels/blitter.h"
#include "pixels/screen_mode.h"

#include <winbase.h>
#include <winerror.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

using namespace ludora;
using namespace ludora::gdi;

namespace {

// ERROR_RESOURCE_NAME_NOT_FOUND
constexpr DWORD kResourceNameNotFound = 1814;
constexpr long kMaxFileBytes = 256l * 1024 * 1024;

struct FileBytes {
    std::unique_ptr<uint8_t[]> data; // not cleared first: the read fills it
    size_t size = 0;
};

bool read_file(const std::string& path, FileBytes& out) {
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    bool ok = std::fseek(f, 0, SEEK_END) == 0;
    const long size = ok ? std::ftell(f) : -1;
    ok = ok && size >= 0 && size <= kMaxFileBytes && std::fseek(f, 0, SEEK_SET) == 0;
    if (ok) {
        out.size = static_cast<size_t>(size);
        out.data.reset(new uint8_t[out.size]); // left unset: fread fills it
        ok = std::fread(out.data.get(), 1, out.size, f) == out.size;
    }
    std::fclose(f);
    return ok;
}

Bitmap* bitmap_from(DecodedBmp& bmp) {
    Bitmap* b = make_bitmap(bmp.width, bmp.height, bmp.format, true, &bmp.bits);
    if (!b) return nullptr;
    b->compression = bmp.compression == BI_BITFIELDS ? BI_BITFIELDS : BI_RGB;
    if (bmp.format.indexed) {
        b->colour_table = bmp.colour_table;
        b->refresh_palette();
    }
    return b;
}

// A copy of `source` in `format` and `width` x `height` (nearest-neighbour).
Bitmap* converted(Bitmap* source, int width, int height, const pixels::PixelFormat& format,
                  bool dib) {
    Bitmap* b = make_bitmap(width, height, format, dib);
    if (!b) return nullptr;
    if (format.indexed) {
        b->colour_table = source->colour_table;
        b->refresh_palette();
    }
    const pixels::Canvas from = source->canvas();
    const pixels::Canvas to = b->canvas();
    pixels::BlitRequest request;
    request.source = &from;
    request.source_rect = pixels::canvas_rect(from);
    request.dest = &to;
    request.dest_rect = pixels::canvas_rect(to);
    request.clip = request.dest_rect;
    pixels::blit(request);
    return b;
}

} // namespace

extern "C" HANDLE WINAPI LoadImageA(HINSTANCE, LPCSTR name, UINT type, int cx, int cy, UINT flags) {
    if (!name || type != IMAGE_BITMAP || cx < 0 || cy < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (!(flags & LR_LOADFROMFILE)) {
        // Programs here carry no resources.
        SetLastError(kResourceNameNotFound);
        return nullptr;
    }
    FileBytes file;
    if (!read_file(kernel::host_path(name), file)) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return nullptr;
    }
    DecodedBmp bmp;
    if (!decode_bmp(file.data.get(), file.size, bmp)) {
        SetLastError(ERROR_INVALID_DATA);
        return nullptr;
    }
    Bitmap* bitmap = bitmap_from(bmp);
    if (!bitmap) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    const bool dib = flags & LR_CREATEDIBSECTION;
    const int width = cx ? cx : bmp.width, height = cy ? cy : bmp.height;
    if (!dib || width != bmp.width || height != bmp.height) {
        // Without LR_CREATEDIBSECTION the picture becomes a bitmap in the screen's format.
        const pixels::PixelFormat format = dib ? bmp.format : pixels::screen_mode().format;
        Bitmap* result = converted(bitmap, width, height, format, dib);
        remove_object(bitmap);
        if (!result) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return nullptr;
        }
        bitmap = result;
    }
    return static_cast<HANDLE>(static_cast<HGDIOBJ>(bitmap));
}
