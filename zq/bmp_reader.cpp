// The library's own BMP reader. Every size and offset from the file is
// checked against the file's length before it is used.
#include "bmp_file.h"

#include "diagnostics.h"

#include <stdint.h>
#include <stdlib.h>
#include <string.h>

namespace {

const char kReadError[] = "ReadBMPFile: error reading file";

uint16_t Word(const BYTE* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
uint32_t Dword(const BYTE* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

bool ReadExactly(HANDLE file, void* buffer, uint64_t bytes) {
    DWORD got = 0;
    if (bytes == 0) return true;
    return ReadFile(file, buffer, static_cast<DWORD>(bytes), &got, nullptr) && got == bytes;
}

uint64_t ColourCount(const BITMAPINFOHEADER* header) {
    if (header->biClrUsed != 0) return header->biClrUsed;
    switch (header->biBitCount) {
    case 1:
        return 2;
    case 4:
        return 16;
    case 8:
        return 256;
    default:
        return 0;
    }
}

uint64_t ColourBytes64(const BITMAPINFOHEADER* header) {
    uint64_t bytes = ColourCount(header) * 4;
    if (header->biCompression == BI_BITFIELDS) bytes += 12;
    return bytes;
}

// Negative sizes have been refused before this is used.
uint64_t ImageBytes64(const BITMAPINFOHEADER* header) {
    const uint64_t bits = static_cast<uint64_t>(static_cast<uint32_t>(header->biWidth)) *
                          header->biBitCount * header->biPlanes;
    const uint64_t rowBytes = (bits + 31) / 32 * 4;
    return rowBytes * static_cast<uint32_t>(header->biHeight);
}

BITMAPINFOHEADER* Fail(void* block, const char* message) {
    free(block);
    ReportError(message);
    return nullptr;
}

} // namespace

size_t PackedDIBColourBytes(const BITMAPINFOHEADER* header) {
    return static_cast<size_t>(ColourBytes64(header));
}

size_t PackedDIBImageBytes(const BITMAPINFOHEADER* header) {
    if (header->biWidth < 0 || header->biHeight < 0) return 0;
    return static_cast<size_t>(ImageBytes64(header));
}

BITMAPINFOHEADER* ReadBMPFile(HANDLE file) {
    BYTE fileHeader[14];
    if (!ReadExactly(file, fileHeader, sizeof fileHeader)) return Fail(nullptr, kReadError);
    if (Word(fileHeader) != 0x4D42 || Word(fileHeader + 6) != 0 || Word(fileHeader + 8) != 0)
        return Fail(nullptr, "ReadBMPFile: bad BMP format");
    const uint32_t offBits = Dword(fileHeader + 10);

    void* block = malloc(44);
    if (block == nullptr) return Fail(nullptr, "ReadBMPFile: bad alloc");
    if (!ReadExactly(file, block, 40)) return Fail(block, kReadError);
    BITMAPINFOHEADER* header = static_cast<BITMAPINFOHEADER*>(block);
    if (header->biSize != 40) return Fail(block, "ReadBMPFile: OS/2 format not supported");
    // Top-down rows, negative widths and compressed pixels are not ours to read.
    if (header->biWidth < 0 || header->biHeight < 0 ||
        (header->biCompression != BI_RGB && header->biCompression != BI_BITFIELDS))
        return Fail(block, "ReadBMPFile: bad BMP format");

    // A file that claims more colours or rows than it holds is refused before
    // anything is allocated for them.
    const uint64_t fileSize = GetFileSize(file, nullptr);
    const uint64_t colourBytes = ColourBytes64(header);
    const uint64_t imageBytes = ImageBytes64(header);
    const uint64_t pixelStart = offBits != 0 ? offBits : 54 + colourBytes;
    if (54 + colourBytes > fileSize || pixelStart > fileSize || imageBytes > fileSize - pixelStart)
        return Fail(block, kReadError);

    void* grown = realloc(block, static_cast<size_t>(40 + colourBytes + imageBytes));
    if (grown == nullptr) return Fail(block, "ReadBMPFile: bad error");
    block = grown;
    BYTE* bytes = static_cast<BYTE*>(block);

    if (colourBytes != 0 && !ReadExactly(file, bytes + 40, colourBytes))
        return Fail(block, kReadError);
    if (offBits != 0 && SetFilePointer(file, static_cast<LONG>(offBits), nullptr, FILE_BEGIN) ==
                            INVALID_SET_FILE_POINTER)
        return Fail(block, kReadError);
    if (!ReadExactly(file, bytes + 40 + colourBytes, imageBytes)) return Fail(block, kReadError);
    return static_cast<BITMAPINFOHEADER*>(block);
}

BITMAPINFOHEADER* OpenBMPFile(const char* fileName) {
    HANDLE file = CreateFileA(fileName, GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        ReportErrorF("ReadBMPFile: error opening file <%s>", fileName);
        return nullptr;
    }
    BITMAPINFOHEADER* dib = ReadBMPFile(file);
    CloseHandle(file);
    return dib;
}
