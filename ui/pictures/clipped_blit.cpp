#include "ui/pictures/clipped_blit.h"

#include <cstring>

#include "ui/pictures/colour_key.h"
#include "zq.h"

HRESULT ClippedBlit(IDirectDrawSurface* target, int x, int y, IDirectDrawSurface* source,
                    const RECT& sourceRect, DWORD flags) {
    if (target == nullptr || source == nullptr) return DDERR_INVALIDPARAMS;
    int32_t targetWidth = 0, targetHeight = 0;
    if (!SurfaceSize(target, &targetWidth, &targetHeight)) return DDERR_INVALIDPARAMS;

    RECT from = sourceRect;
    // Widened so that positions far off-screen cannot overflow.
    int64_t left = x, top = y;
    int64_t right = left + (static_cast<int64_t>(from.right) - from.left);
    int64_t bottom = top + (static_cast<int64_t>(from.bottom) - from.top);
    if (left < 0) {
        from.left += static_cast<LONG>(-left);
        left = 0;
    }
    if (top < 0) {
        from.top += static_cast<LONG>(-top);
        top = 0;
    }
    if (right > targetWidth) {
        from.right -= static_cast<LONG>(right - targetWidth);
        right = targetWidth;
    }
    if (bottom > targetHeight) {
        from.bottom -= static_cast<LONG>(bottom - targetHeight);
        bottom = targetHeight;
    }
    if (right <= left || bottom <= top) return DD_OK;

    RECT to = {static_cast<LONG>(left), static_cast<LONG>(top), static_cast<LONG>(right),
               static_cast<LONG>(bottom)};
    return target->Blt(&to, source, &from, flags, nullptr);
}

IDirectDrawSurface* CreateOffscreenSurface(int width, int height) {
    IDirectDraw* directDraw = ZQGetLPDD();
    if (directDraw == nullptr || width <= 0 || height <= 0) return nullptr;
    DDSURFACEDESC desc;
    std::memset(&desc, 0, sizeof desc);
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.dwWidth = static_cast<DWORD>(width);
    desc.dwHeight = static_cast<DWORD>(height);
    // System memory, like every loaded picture: it is never lost.
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
    IDirectDrawSurface* surface = nullptr;
    if (FAILED(directDraw->CreateSurface(&desc, &surface, nullptr)) || surface == nullptr) {
        return nullptr;
    }
    SetBlueKey(surface);
    return surface;
}
