// Device contexts over memory that DirectDraw owns (IDirectDrawSurface::GetDC).
#pragma once

#include "pixels/canvas.h"

#include <windef.h>

namespace ludora::gdi {

HDC create_canvas_dc(const pixels::Canvas& canvas, void (*before_use)(void* owner), void* owner);
// Returns the bounds of everything drawn through it, so the surface knows what changed.
RECT delete_canvas_dc(HDC dc);
// The surface changed under an outstanding context (a new palette).
void update_canvas_dc(HDC dc, const pixels::Canvas& canvas);

} // namespace ludora::gdi
