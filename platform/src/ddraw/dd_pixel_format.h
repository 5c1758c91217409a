// Pixel formats as DirectDraw describes them (DDPIXELFORMAT).
#pragma once

#include "ddraw/blitter.h"

#include <ddraw.h>

namespace ludora::video {

DDPIXELFORMAT to_ddpixelformat(const PixelFormat& format);
// False for what the layer cannot draw: FourCC, YUV, depth and alpha-only formats.
bool from_ddpixelformat(const DDPIXELFORMAT& ddpf, PixelFormat& out);

} // namespace ludora::video
