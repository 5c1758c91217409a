// The toolkit's drawing primitive: a keyed rectangle copy clipped to the
// destination surface, the source rectangle cut by the same amounts.
#pragma once

#include <windows.h>
#include <ddraw.h>

// Default flags: the source colour key, waiting for the blitter.
constexpr DWORD KeyedBlit = DDBLT_KEYSRC | DDBLT_WAIT;
constexpr DWORD PlainBlit = DDBLT_WAIT;

// Copies sourceRect of source to (x, y) of target. Answers the blit's result,
// or DD_OK when nothing is left after clipping.
HRESULT ClippedBlit(IDirectDrawSurface* target, int x, int y, IDirectDrawSurface* source,
                    const RECT& sourceRect, DWORD flags = KeyedBlit);

// A blue-keyed off-screen surface of width x height in the display's format, or null.
IDirectDrawSurface* CreateOffscreenSurface(int width, int height);
