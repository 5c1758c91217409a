// DirectDraw draws with the layer's pixels: canvases, pixel formats, the
// blitter and the screen mode, used here under DirectDraw's own namespace.
#pragma once

#include "pixels/blitter.h"
#include "pixels/screen_mode.h"

namespace ludora::video {
using namespace ludora::pixels;
} // namespace ludora::video
