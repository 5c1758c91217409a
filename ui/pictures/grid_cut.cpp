#include "ui/pictures/sprite.h"

#include "ui/pictures/clipped_blit.h"
#include "ui/pictures/colour_key.h"

int GridCut(IDirectDrawSurface* bitmap, int32_t cellWidth, int32_t cellHeight,
            PointerList<IDirectDrawSurface>& cells) {
    if (bitmap == nullptr || cellWidth <= 0 || cellHeight <= 0) return 0;
    int32_t width = 0, height = 0;
    if (!SurfaceSize(bitmap, &width, &height)) return 0;
    const int32_t columns = width / cellWidth;
    const int32_t total = columns * (height / cellHeight);
    for (int32_t i = 0; i < total; ++i) {
        IDirectDrawSurface* cell = CreateOffscreenSurface(cellWidth, cellHeight);
        if (cell == nullptr) return 0;
        // Left to right, then top to bottom.
        const int32_t left = (i % columns) * cellWidth;
        const int32_t top = (i / columns) * cellHeight;
        const RECT area = {left, top, left + cellWidth, top + cellHeight};
        ClippedBlit(cell, 0, 0, bitmap, area, PlainBlit);
        if (!cells.Add(cell)) {
            cell->Release();
            return 0;
        }
    }
    return 1;
}
