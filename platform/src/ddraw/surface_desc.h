// Checks on the DDSURFACEDESC a program hands in.
#pragma once

#include <ddraw.h>

namespace ludora::video {

// 108 is the structure's size in 32-bit programs, which is what they put in dwSize.
inline bool desc_size_ok(const DDSURFACEDESC* desc) {
    return desc && (desc->dwSize == sizeof(DDSURFACEDESC) || desc->dwSize == 108);
}

} // namespace ludora::video
