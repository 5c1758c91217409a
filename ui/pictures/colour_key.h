// Colour keys and pixel reads in a surface's own pixel format. Every picture
// of the toolkit is keyed on pure blue; the mouse pointer alone on black.
#pragma once

#include <cstdint>

#include <windows.h>
#include <ddraw.h>

// The colour (r, g, b) as a pixel value of the surface's format.
DWORD ColourInSurfaceFormat(IDirectDrawSurface* surface, int red, int green, int blue);

// Sets the surface's source colour key to (r, g, b); SetBlueKey keys on RGB (0, 0, 255).
void SetColourKey(IDirectDrawSurface* surface, int red, int green, int blue);
void SetBlueKey(IDirectDrawSurface* surface);

// The pixel at (column, row) for 8, 16, 24 (low three bytes) and 32 bits per
// pixel; a point outside the surface, or a surface that cannot be locked, reads 0.
DWORD ReadPixel(IDirectDrawSurface* surface, int column, int row);

// Width and height from the surface description; 0 when the surface is null.
int SurfaceSize(IDirectDrawSurface* surface, int32_t* width, int32_t* height);
