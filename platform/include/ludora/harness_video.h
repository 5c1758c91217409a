// Test-harness extras of the display: lost surfaces, shots and the screen's pixels.
#pragma once

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

// Marks every surface lost, as another program's display mode change would:
// the primary surface, its flipping chain and every surface in video memory
// (surfaces in system memory are never lost, as under DirectDraw).
void LudoraLoseAllSurfaces();

// Saves the window's client area as last presented as a 24-bit BMP. 1 on success.
int LudoraSaveShot(const char* path);

// Reads the pixel at (x, y) of the display (the primary surface of the newest
// DirectDraw object) as 0x00RRGGBB. 1 on success, 0 when there is no primary
// surface or the point lies outside it.
int LudoraReadScreenPixel(int x, int y, uint32_t* xrgb);

#ifdef __cplusplus
}
#endif
