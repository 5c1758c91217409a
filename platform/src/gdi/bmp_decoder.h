// Reading BMP files as Windows does: 1, 4, 8, 16, 24 and 32 bits; BI_RGB,
// BI_BITFIELDS, RLE4 and RLE8; bottom-up and top-down; core, info, V4 and V5
// headers. Everything is checked against the file's length before it is read.
#pragma once

#include "pixels/pixel_format.h"

#include <wingdi.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace ludora::gdi {

struct DecodedBmp {
    int width = 0;
    int height = 0; // rows; the pixels are stored bottom-up, as in a DIB
    pixels::PixelFormat format;
    DWORD compression = BI_RGB; // of the file (RLE files come out uncompressed)
    int stride = 0;
    std::vector<uint8_t> bits;
    std::vector<RGBQUAD> colour_table; // indexed formats: 1 << bits entries
};

// False for anything that is not a BMP file Windows reads, or that is cut short.
bool decode_bmp(const uint8_t* data, size_t size, DecodedBmp& out);

} // namespace ludora::gdi
