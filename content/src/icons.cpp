// The programs' icons for desktop menus and the Windows installer, cut from the art the
// generator has just drawn: Ludora's toy blocks from its credit picture, Pearlwreck's wreck
// in its sea from its splash. Each is written at every size a desktop asks for.
#include "icons.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>

namespace content {

namespace {

struct IconSource {
    const char* program;
    const char* picture; // as the generator wrote it
    int x, y, side;      // the square cut from it
};

// Squares chosen by eye on the pictures, clear of their lettering: the blocks "L", "U", "D"
// on the shelf, and the wreck in open water.
constexpr IconSource kSources[] = {
    {"ludora", "Title/TovikCredit.bmp", 72, 302, 136},
    {"pearlwreck", "Pearlwreck/title/TovikSplash.bmp", 240, 262, 240},
};

constexpr int kSizes[] = {16, 32, 48, 64, 128, 256};

const Image* find_picture(const Output& out, const std::string& path) {
    for (const Output::Entry& entry : out.pictures())
        if (entry.path == path) return &entry.image;
    return nullptr;
}

// Each icon pixel averages the source over its own square (4x4 bilinear samples), so
// small sizes stay smooth and large ones are not blocky.
Image resample(const Image& src, int x0, int y0, int side, int size) {
    Image icon(size, size);
    const double step = double(side) / size;
    constexpr int kSamples = 4;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            double r = 0, g = 0, b = 0;
            for (int sy = 0; sy < kSamples; ++sy) {
                for (int sx = 0; sx < kSamples; ++sx) {
                    const double fx = x0 + (x + (sx + 0.5) / kSamples) * step - 0.5;
                    const double fy = y0 + (y + (sy + 0.5) / kSamples) * step - 0.5;
                    const int ix = int(std::floor(fx)), iy = int(std::floor(fy));
                    const double tx = fx - ix, ty = fy - iy;
                    auto pixel = [&](int px, int py) {
                        px = std::clamp(px, x0, x0 + side - 1);
                        py = std::clamp(py, y0, y0 + side - 1);
                        return src.get(px, py, 0);
                    };
                    const Colour top = mix(pixel(ix, iy), pixel(ix + 1, iy), tx);
                    const Colour bottom = mix(pixel(ix, iy + 1), pixel(ix + 1, iy + 1), tx);
                    const Colour c = mix(top, bottom, ty);
                    r += red(c), g += green(c), b += blue(c);
                }
            }
            constexpr double n = kSamples * kSamples;
            icon.set(x, y, rgb(int(r / n + 0.5), int(g / n + 0.5), int(b / n + 0.5)));
        }
    }
    return icon;
}

} // namespace

bool write_icons(const Output& out, const std::string& folder) {
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    bool ok = !ec;
    for (const IconSource& source : kSources) {
        const Image* picture = find_picture(out, source.picture);
        if (!picture) {
            std::fprintf(stderr, "content: no %s to draw the %s icon from\n", source.picture,
                         source.program);
            return false;
        }
        for (int size : kSizes) {
            const std::string path =
                folder + "/" + source.program + "-" + std::to_string(size) + ".png";
            if (!resample(*picture, source.x, source.y, source.side, size).write_png(path)) {
                std::fprintf(stderr, "content: cannot write %s\n", path.c_str());
                ok = false;
            }
        }
    }
    return ok;
}

} // namespace content
