#include "ddraw/dd_pixel_format.h"

namespace ludora::video {

DDPIXELFORMAT to_ddpixelformat(const PixelFormat& f) {
    DDPIXELFORMAT pf{};
    pf.dwSize = sizeof(DDPIXELFORMAT);
    pf.dwRGBBitCount = static_cast<DWORD>(f.bits);
    if (f.indexed) {
        pf.dwFlags = DDPF_RGB | (f.bits == 8   ? DDPF_PALETTEINDEXED8
                                 : f.bits == 4 ? DDPF_PALETTEINDEXED4
                                               : DDPF_PALETTEINDEXED1);
        return pf;
    }
    pf.dwFlags = DDPF_RGB | (f.alpha_mask ? DDPF_ALPHAPIXELS : 0);
    pf.dwRBitMask = f.red_mask;
    pf.dwGBitMask = f.green_mask;
    pf.dwBBitMask = f.blue_mask;
    pf.dwRGBAlphaBitMask = f.alpha_mask;
    return pf;
}

bool from_ddpixelformat(const DDPIXELFORMAT& pf, PixelFormat& out) {
    if (pf.dwFlags & (DDPF_FOURCC | DDPF_YUV | DDPF_ZBUFFER | DDPF_ALPHA)) return false;
    if (pf.dwFlags & DDPF_PALETTEINDEXED8) {
        if (pf.dwRGBBitCount != 8) return false;
        out = format_indexed(8);
        return true;
    }
    if (pf.dwFlags & (DDPF_PALETTEINDEXED4 | DDPF_PALETTEINDEXED1 | DDPF_PALETTEINDEXED2 |
                      DDPF_PALETTEINDEXEDTO8)) {
        return false;
    }
    if (!(pf.dwFlags & DDPF_RGB)) return false;
    const uint32_t alpha = (pf.dwFlags & DDPF_ALPHAPIXELS) ? pf.dwRGBAlphaBitMask : 0;
    return format_from_masks(static_cast<int>(pf.dwRGBBitCount), pf.dwRBitMask, pf.dwGBitMask,
                             pf.dwBBitMask, alpha, out);
}

} // namespace ludora::video
