#include "ddraw/direct_draw.h"

#include "ddraw/clipper.h"
#include "ddraw/dd_pixel_format.h"
#include "ddraw/palette.h"
#include "ddraw/surface.h"
#include "ddraw/surface_desc.h"

#include <cstring>

namespace ludora::video {

namespace {

constexpr int kMaxSurfaceSide = 16384;

} // namespace

void describe_mode(const DisplayMode& mode, DDSURFACEDESC& desc) {
    std::memset(static_cast<void*>(&desc), 0, sizeof(desc));
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_HEIGHT | DDSD_WIDTH | DDSD_PITCH | DDSD_PIXELFORMAT | DDSD_REFRESHRATE;
    desc.dwWidth = static_cast<DWORD>(mode.width);
    desc.dwHeight = static_cast<DWORD>(mode.height);
    desc.lPitch = mode.width * mode.format.bytes_per_pixel();
    desc.dwRefreshRate = 60;
    desc.ddpfPixelFormat = to_ddpixelformat(mode.format);
}

DirectDraw::DirectDraw() : display_(std::make_shared<Display>()) {}

HRESULT DirectDraw::QueryInterface(REFIID riid, void** out) {
    if (!out) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IDirectDraw) {
        AddRef();
        *out = static_cast<IDirectDraw*>(this);
        return S_OK;
    }
    if (riid == IID_IDirectDraw2) {
        AddRef();
        *out = static_cast<IDirectDraw2*>(this);
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

ULONG DirectDraw::AddRef() {
    return ++refs_;
}

ULONG DirectDraw::Release() {
    const ULONG left = --refs_;
    if (left == 0) {
        // The mode set by a program goes back to the desktop when it lets go.
        if (display_->mode.width != desktop_mode().width ||
            display_->mode.height != desktop_mode().height ||
            !(display_->mode.format == desktop_mode().format)) {
            reset_screen_mode();
        }
        delete this;
    }
    return left;
}

HRESULT DirectDraw::Compact() {
    return DD_OK;
}

HRESULT DirectDraw::CreateClipper(DWORD, LPDIRECTDRAWCLIPPER FAR* out, IUnknown FAR* outer) {
    if (!out) return DDERR_INVALIDPARAMS;
    *out = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    *out = new Clipper();
    return DD_OK;
}

HRESULT DirectDraw::CreatePalette(DWORD flags, LPPALETTEENTRY entries, LPDIRECTDRAWPALETTE FAR* out,
                                  IUnknown FAR* outer) {
    if (!out) return DDERR_INVALIDPARAMS;
    *out = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    if (!entries) return DDERR_INVALIDPARAMS;
    int size = 0;
    if (flags & DDPCAPS_8BIT)
        size = 256;
    else if (flags & DDPCAPS_4BIT)
        size = 16;
    else if (flags & DDPCAPS_2BIT)
        size = 4;
    else if (flags & DDPCAPS_1BIT)
        size = 2;
    if (size == 0) return DDERR_INVALIDPARAMS;
    *out = new Palette(flags, size, entries);
    return DD_OK;
}

HRESULT DirectDraw::CreateSurface(LPDDSURFACEDESC desc, LPDIRECTDRAWSURFACE FAR* out,
                                  IUnknown FAR* outer) {
    if (!out || !desc_size_ok(desc)) return DDERR_INVALIDPARAMS;
    *out = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    if (display_->cooperative == 0) return DDERR_NOCOOPERATIVELEVELSET;
    DWORD caps = (desc->dwFlags & DDSD_CAPS) ? desc->ddsCaps.dwCaps : 0;
    if ((caps & DDSCAPS_SYSTEMMEMORY) && (caps & DDSCAPS_VIDEOMEMORY)) return DDERR_INVALIDCAPS;
    if (caps & (DDSCAPS_OVERLAY | DDSCAPS_ZBUFFER)) return DDERR_NOOVERLAYHW;

    if (caps & DDSCAPS_PRIMARYSURFACE) {
        if (desc->dwFlags & (DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT)) {
            return DDERR_INVALIDPARAMS;
        }
        if (display_->primary) return DDERR_PRIMARYSURFACEALREADYEXISTS;
        const bool flipping = caps & DDSCAPS_FLIP;
        DWORD backs = 0;
        if (flipping) {
            if (!(caps & DDSCAPS_COMPLEX) || !(desc->dwFlags & DDSD_BACKBUFFERCOUNT) ||
                desc->dwBackBufferCount < 1 || desc->dwBackBufferCount > 3) {
                return DDERR_INVALIDPARAMS;
            }
            if (!display_->fullscreen()) return DDERR_NOEXCLUSIVEMODE;
            backs = desc->dwBackBufferCount;
        }
        const DisplayMode& mode = display_->mode;
        const DWORD bytes = Surface::bytes_for(mode.width, mode.height, mode.format) * (1 + backs);
        if (display_->video_used + bytes > kVideoMemoryTotal) return DDERR_OUTOFVIDEOMEMORY;
        const DWORD memory = DDSCAPS_VIDEOMEMORY | DDSCAPS_LOCALVIDMEM;
        DWORD front_caps = (caps & ~DDSCAPS_SYSTEMMEMORY) | memory | DDSCAPS_VISIBLE;
        if (flipping) front_caps |= DDSCAPS_FRONTBUFFER;
        auto* primary = new Surface(display_, mode.width, mode.height, mode.format, front_caps);
        if (flipping) {
            const DWORD back_caps =
                (caps & ~(DDSCAPS_PRIMARYSURFACE | DDSCAPS_SYSTEMMEMORY)) | memory;
            primary->make_flipping_chain(static_cast<int>(backs), back_caps);
        }
        display_->primary = primary;
        *out = primary;
        return DD_OK;
    }

    if (caps & DDSCAPS_FLIP) return DDERR_UNSUPPORTED;
    if ((desc->dwFlags & (DDSD_WIDTH | DDSD_HEIGHT)) != (DDSD_WIDTH | DDSD_HEIGHT)) {
        return DDERR_INVALIDPARAMS;
    }
    if (desc->dwWidth == 0 || desc->dwHeight == 0) return DDERR_INVALIDPARAMS;
    if (desc->dwWidth > kMaxSurfaceSide) return DDERR_TOOBIGWIDTH;
    if (desc->dwHeight > kMaxSurfaceSide) return DDERR_TOOBIGHEIGHT;
    PixelFormat format = display_->mode.format;
    if (desc->dwFlags & DDSD_PIXELFORMAT) {
        if (!from_ddpixelformat(desc->ddpfPixelFormat, format)) return DDERR_INVALIDPIXELFORMAT;
    }
    const int width = static_cast<int>(desc->dwWidth), height = static_cast<int>(desc->dwHeight);
    const DWORD bytes = Surface::bytes_for(width, height, format);
    const bool fits = display_->video_used + bytes <= kVideoMemoryTotal;
    if (caps & DDSCAPS_VIDEOMEMORY) {
        if (!fits) return DDERR_OUTOFVIDEOMEMORY;
        caps |= DDSCAPS_LOCALVIDMEM;
    } else if (!(caps & DDSCAPS_SYSTEMMEMORY)) {
        // Video memory while it lasts, then system memory, as a driver places them.
        caps |= fits ? (DDSCAPS_VIDEOMEMORY | DDSCAPS_LOCALVIDMEM) : DDSCAPS_SYSTEMMEMORY;
    }
    auto* surface = new Surface(display_, width, height, format, caps);
    if (desc->dwFlags & DDSD_CKSRCBLT) {
        surface->set_key(DDCKEY_SRCBLT | DDCKEY_COLORSPACE, desc->ddckCKSrcBlt);
    }
    if (desc->dwFlags & DDSD_CKDESTBLT) {
        surface->set_key(DDCKEY_DESTBLT | DDCKEY_COLORSPACE, desc->ddckCKDestBlt);
    }
    *out = surface;
    return DD_OK;
}

HRESULT DirectDraw::DuplicateSurface(LPDIRECTDRAWSURFACE, LPDIRECTDRAWSURFACE FAR*) {
    return DDERR_CANTDUPLICATE;
}

HRESULT DirectDraw::EnumDisplayModes(DWORD, LPDDSURFACEDESC filter, LPVOID context,
                                     LPDDENUMMODESCALLBACK callback) {
    if (!callback) return DDERR_INVALIDPARAMS;
    for (const DisplayMode& mode : display_modes()) {
        if (filter) {
            if ((filter->dwFlags & DDSD_WIDTH) && filter->dwWidth != DWORD(mode.width)) continue;
            if ((filter->dwFlags & DDSD_HEIGHT) && filter->dwHeight != DWORD(mode.height)) continue;
            if ((filter->dwFlags & DDSD_PIXELFORMAT) &&
                filter->ddpfPixelFormat.dwRGBBitCount != DWORD(mode.format.bits)) {
                continue;
            }
        }
        DDSURFACEDESC desc;
        describe_mode(mode, desc);
        if (callback(&desc, context) == DDENUMRET_CANCEL) break;
    }
    return DD_OK;
}

HRESULT DirectDraw::EnumSurfaces(DWORD, LPDDSURFACEDESC, LPVOID, LPDDENUMSURFACESCALLBACK) {
    return DDERR_UNSUPPORTED;
}

HRESULT DirectDraw::FlipToGDISurface() {
    return DD_OK;
}

void DirectDraw::fill_caps(DDCAPS& caps, bool driver) const {
    std::memset(&caps, 0, sizeof(caps));
    caps.dwSize = sizeof(caps);
    caps.dwCaps = DDCAPS_BLT | DDCAPS_BLTCOLORFILL | DDCAPS_BLTSTRETCH | DDCAPS_COLORKEY |
                  DDCAPS_CANCLIP | DDCAPS_CANCLIPSTRETCHED | DDCAPS_CANBLTSYSMEM | DDCAPS_PALETTE |
                  DDCAPS_GDI;
    caps.dwCaps2 = DDCAPS2_WIDESURFACES | DDCAPS2_NOPAGELOCKREQUIRED;
    caps.dwCKeyCaps = DDCKEYCAPS_SRCBLT | DDCKEYCAPS_DESTBLT;
    caps.dwFXCaps =
        DDFXCAPS_BLTSHRINKX | DDFXCAPS_BLTSHRINKY | DDFXCAPS_BLTSTRETCHX | DDFXCAPS_BLTSTRETCHY;
    caps.dwPalCaps = DDPCAPS_8BIT | DDPCAPS_PRIMARYSURFACE | DDPCAPS_ALLOW256;
    if (driver) {
        caps.dwVidMemTotal = kVideoMemoryTotal;
        caps.dwVidMemFree = kVideoMemoryTotal - display_->video_used;
    }
    caps.dwRops[(SRCCOPY >> 16) / 32] |= 1u << ((SRCCOPY >> 16) % 32);
    caps.ddsCaps.dwCaps = DDSCAPS_BACKBUFFER | DDSCAPS_COMPLEX | DDSCAPS_FLIP |
                          DDSCAPS_FRONTBUFFER | DDSCAPS_OFFSCREENPLAIN | DDSCAPS_PALETTE |
                          DDSCAPS_PRIMARYSURFACE | DDSCAPS_SYSTEMMEMORY | DDSCAPS_VIDEOMEMORY |
                          DDSCAPS_LOCALVIDMEM | DDSCAPS_VISIBLE;
    caps.dwSVBCaps = caps.dwVSBCaps = caps.dwSSBCaps = caps.dwCaps;
    caps.dwSVBCKeyCaps = caps.dwVSBCKeyCaps = caps.dwSSBCKeyCaps = caps.dwCKeyCaps;
    caps.dwSVBFXCaps = caps.dwVSBFXCaps = caps.dwSSBFXCaps = caps.dwFXCaps;
    for (int i = 0; i < DD_ROP_SPACE; ++i) {
        caps.dwSVBRops[i] = caps.dwVSBRops[i] = caps.dwSSBRops[i] = caps.dwRops[i];
    }
}

HRESULT DirectDraw::GetCaps(LPDDCAPS driver, LPDDCAPS emulation) {
    if (!driver && !emulation) return DDERR_INVALIDPARAMS;
    if ((driver && driver->dwSize != sizeof(DDCAPS)) ||
        (emulation && emulation->dwSize != sizeof(DDCAPS))) {
        return DDERR_INVALIDPARAMS;
    }
    if (driver) fill_caps(*driver, true);
    if (emulation) fill_caps(*emulation, false);
    return DD_OK;
}

HRESULT DirectDraw::GetDisplayMode(LPDDSURFACEDESC desc) {
    if (!desc_size_ok(desc)) return DDERR_INVALIDPARAMS;
    const DWORD size = desc->dwSize;
    describe_mode(display_->mode, *desc);
    desc->dwSize = size;
    return DD_OK;
}

HRESULT DirectDraw::GetFourCCCodes(LPDWORD count, LPDWORD) {
    if (!count) return DDERR_INVALIDPARAMS;
    *count = 0;
    return DD_OK;
}

HRESULT DirectDraw::GetGDISurface(LPDIRECTDRAWSURFACE FAR* out) {
    if (!out) return DDERR_INVALIDPARAMS;
    *out = display_->primary;
    if (!display_->primary) return DDERR_NOTFOUND;
    display_->primary->AddRef();
    return DD_OK;
}

HRESULT DirectDraw::GetMonitorFrequency(LPDWORD hz) {
    if (!hz) return DDERR_INVALIDPARAMS;
    *hz = 60;
    return DD_OK;
}

HRESULT DirectDraw::GetScanLine(LPDWORD) {
    return DDERR_UNSUPPORTED;
}

HRESULT DirectDraw::GetVerticalBlankStatus(LPBOOL in_blank) {
    if (!in_blank) return DDERR_INVALIDPARAMS;
    *in_blank = FALSE;
    return DD_OK;
}

HRESULT DirectDraw::Initialize(GUID FAR*) {
    return DDERR_ALREADYINITIALIZED;
}

HRESULT DirectDraw::RestoreDisplayMode() {
    display_->mode = desktop_mode();
    reset_screen_mode();
    return DD_OK;
}

HRESULT DirectDraw::SetCooperativeLevel(HWND window, DWORD flags) {
    const bool exclusive = flags & DDSCL_EXCLUSIVE, fullscreen = flags & DDSCL_FULLSCREEN;
    if (flags & DDSCL_NORMAL) {
        if (exclusive || fullscreen) return DDERR_INVALIDPARAMS;
    } else if (!exclusive || !fullscreen || !window) {
        return DDERR_INVALIDPARAMS;
    }
    display_->window = window;
    display_->cooperative = flags;
    return DD_OK;
}

HRESULT DirectDraw::SetDisplayMode(DWORD width, DWORD height, DWORD bpp) {
    for (const DisplayMode& mode : display_modes()) {
        if (DWORD(mode.width) == width && DWORD(mode.height) == height &&
            DWORD(mode.format.bits) == bpp) {
            display_->mode = mode;
            set_screen_mode(mode);
            return DD_OK;
        }
    }
    return DDERR_INVALIDMODE;
}

HRESULT DirectDraw::SetDisplayMode(DWORD width, DWORD height, DWORD bpp, DWORD, DWORD) {
    return SetDisplayMode(width, height, bpp);
}

HRESULT DirectDraw::WaitForVerticalBlank(DWORD, HANDLE) {
    return DD_OK;
}

HRESULT DirectDraw::GetAvailableVidMem(LPDDSCAPS caps, LPDWORD total, LPDWORD free) {
    if (!caps) return DDERR_INVALIDPARAMS;
    if (total) *total = kVideoMemoryTotal;
    if (free) *free = kVideoMemoryTotal - display_->video_used;
    return DD_OK;
}

} // namespace ludora::video

extern "C" HRESULT WINAPI DirectDrawCreate(GUID FAR* guid, LPDIRECTDRAW FAR* out,
                                           IUnknown FAR* outer) {
    if (!out) return DDERR_INVALIDPARAMS;
    *out = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    // Null is the primary display driver; 1 and 2 ask for hardware or emulation only.
    const uintptr_t special = reinterpret_cast<uintptr_t>(guid);
    if (guid && special > 2) return DDERR_INVALIDDIRECTDRAWGUID;
    *out = static_cast<IDirectDraw*>(new ludora::video::DirectDraw());
    return DD_OK;
}

extern "C" HRESULT WINAPI DirectDrawEnumerateA(LPDDENUMCALLBACKA callback, LPVOID context) {
    if (!callback) return DDERR_INVALIDPARAMS;
    char description[] = "Primary Display Driver";
    char name[] = "display";
    callback(nullptr, description, name, context);
    return DD_OK;
}
