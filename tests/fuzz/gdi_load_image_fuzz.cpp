// The platform's BMP decoder behind LoadImageA: DIB sections and device
// bitmaps, their pixels read back whole, their colour tables and a blit.
#include "fuzz_support.h"

#include <windows.h>

namespace {

unsigned TouchSection(HBITMAP bitmap) {
    DIBSECTION section = {};
    if (GetObjectA(bitmap, sizeof section, &section) != sizeof section) return 0;
    const BYTE* bits = static_cast<const BYTE*>(section.dsBm.bmBits);
    if (bits == nullptr) return 0;
    const size_t rows = static_cast<size_t>(section.dsBm.bmHeight < 0 ? -section.dsBm.bmHeight
                                                                      : section.dsBm.bmHeight);
    const size_t bytes = rows * static_cast<size_t>(section.dsBm.bmWidthBytes);
    unsigned sum = 0;
    for (size_t i = 0; i < bytes; ++i)
        sum += bits[i];
    return sum;
}

unsigned Draw(HBITMAP bitmap) {
    HDC source = CreateCompatibleDC(nullptr);
    HDC target = CreateCompatibleDC(nullptr);
    HBITMAP canvas = CreateCompatibleBitmap(source, 64, 64);
    HGDIOBJ oldSource = SelectObject(source, bitmap);
    HGDIOBJ oldTarget = SelectObject(target, canvas);
    RGBQUAD table[256] = {};
    unsigned sum = GetDIBColorTable(source, 0, 256, table);
    BITMAP info = {};
    GetObjectA(bitmap, sizeof info, &info);
    BitBlt(target, 0, 0, 64, 64, source, 0, 0, SRCCOPY);
    if (info.bmWidth > 0 && info.bmHeight > 0)
        BitBlt(target, 0, 0, 64, 64, source, info.bmWidth - 1, info.bmHeight - 1, SRCCOPY);
    SelectObject(source, oldSource);
    SelectObject(target, oldTarget);
    DeleteObject(canvas);
    DeleteDC(source);
    DeleteDC(target);
    return sum;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string name = fuzz::WriteInput("input.bmp", data, size);
    for (UINT flags : {UINT{LR_LOADFROMFILE | LR_CREATEDIBSECTION}, UINT{LR_LOADFROMFILE}}) {
        HBITMAP bitmap =
            static_cast<HBITMAP>(LoadImageA(nullptr, name.c_str(), IMAGE_BITMAP, 0, 0, flags));
        if (bitmap == nullptr) continue;
        fuzz::g_sink = TouchSection(bitmap) + Draw(bitmap);
        DeleteObject(bitmap);
    }
    return 0;
}
