// BMP files as packed DIBs: the 40-byte header, the colour table and the
// pixel rows (bottom row first) in one block from the C runtime allocator.
#pragma once

#include <windows.h>

#include <stddef.h>

// Colour-table bytes that follow the header of a packed DIB (the three
// channel masks of a bit-field image count as its table).
size_t PackedDIBColourBytes(const BITMAPINFOHEADER* header);
// Rows padded to four bytes, times the height.
size_t PackedDIBImageBytes(const BITMAPINFOHEADER* header);

// Reads a BMP file from an open handle; null (and one report) when the file
// is not a BMP this reader takes or does not hold what its header claims.
BITMAPINFOHEADER* ReadBMPFile(HANDLE file);
// Opens the file and reads it; null (and a report) on failure.
BITMAPINFOHEADER* OpenBMPFile(const char* fileName);
// Writes the file header and the packed DIB; a message box on failure.
int WriteBMPFile(const char* fileName, const BITMAPINFOHEADER* dib);
