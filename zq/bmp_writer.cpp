// Writes a packed DIB as a BMP file.
#include "bmp_file.h"

#include <stdint.h>

static void PutWord(BYTE* p, uint16_t value) {
    p[0] = static_cast<BYTE>(value);
    p[1] = static_cast<BYTE>(value >> 8);
}

static void PutDword(BYTE* p, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<BYTE>(value >> (8 * i));
}

static bool WriteAll(HANDLE file, const void* data, size_t bytes) {
    DWORD written = 0;
    return WriteFile(file, data, static_cast<DWORD>(bytes), &written, nullptr) && written == bytes;
}

int WriteBMPFile(const char* fileName, const BITMAPINFOHEADER* dib) {
    HANDLE file = CreateFileA(fileName, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        MessageBoxA(nullptr, "Error opening file", fileName, MB_OK);
        return 0;
    }
    const size_t colourBytes = PackedDIBColourBytes(dib);
    const size_t imageBytes = PackedDIBImageBytes(dib);
    const size_t dibBytes = 40 + colourBytes + imageBytes;
    const uint32_t offBits = static_cast<uint32_t>(14 + 40 + colourBytes);

    BYTE header[14];
    PutWord(header, 0x4D42);
    PutDword(header + 2, static_cast<uint32_t>(offBits + imageBytes));
    PutWord(header + 6, 0);
    PutWord(header + 8, 0);
    PutDword(header + 10, offBits);
    if (!WriteAll(file, header, sizeof header) || !WriteAll(file, dib, dibBytes)) {
        CloseHandle(file);
        MessageBoxA(nullptr, "Error Writing file", fileName, MB_OK);
        return 0;
    }
    CloseHandle(file);
    return 1;
}
