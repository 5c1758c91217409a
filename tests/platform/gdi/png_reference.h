// The BMP suite's reference renderings are PNG files; this reads them as RGB.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace gdi_test {

struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels; // 0x00RRGGBB, top row first
};

bool read_png(const std::string& path, RgbImage& out);

} // namespace gdi_test
