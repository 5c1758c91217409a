// A named picture: a BMP loaded into a blue-keyed surface.
#pragma once

#include <cstdint>

#include <windows.h>
#include <ddraw.h>

struct ImageRecord {
    // Zeroes the position, loads the file with ZQLoadBitmap (fileName, 16),
    // keys it blue, takes the file name as its name and the surface's size.
    // A missing file leaves surface null.
    explicit ImageRecord(const char* fileName);
    ~ImageRecord(); // releases the surface
    ImageRecord(const ImageRecord&) = delete;
    ImageRecord& operator=(const ImageRecord&) = delete;

    void SetName(const char* text); // cut at 255 characters

    char name[256] = {};
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
    IDirectDrawSurface* surface = nullptr;
};
